#include "history/shop_probe.h"

#include "history/shop_connection.h"

#include <QThread>

#include <memory>

namespace history {

void probeShop(const QString& addressText, QObject* context, std::function<void(const QString& words)> answer) {
    QString why;
    const std::optional<ShopAddress> address = parseShopAddress(addressText, &why);
    if (!address) {
        answer("Not tried: " + why + ".");
        return;
    }
    auto words = std::make_shared<QString>();
    QThread* thread = QThread::create([address = *address, words] {
        ShopConnection shop(address);
        *words = plainWords(address, shop.open());
    });
    // finished comes queued to the context's thread, and not at all once the context is gone.
    QObject::connect(thread, &QThread::finished, context, [answer, words] { answer(*words); });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

}  // namespace history
