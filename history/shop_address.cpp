#include "history/shop_address.h"

#include <QUrl>

namespace history {

QString ShopAddress::text() const {
    return QString("postgresql://%1@%2:%3/%4").arg(user, host).arg(port).arg(database);
}

std::optional<ShopAddress> parseShopAddress(const QString& text, QString* why) {
    auto refuse = [why](const QString& reason) -> std::optional<ShopAddress> {
        if (why) *why = reason;
        return std::nullopt;
    };
    const QString form = "write it as postgresql://user@host:port/dbname";
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != "postgresql" && url.scheme() != "postgres"))
        return refuse("not a shop database address: " + form);
    if (!url.password().isEmpty())
        return refuse("the address holds a password: leave it out and put it in the password file (~/.pgpass)");
    ShopAddress a;
    a.user = url.userName();
    a.host = url.host();
    a.port = url.port(ShopAddress::kDefaultPort);
    a.database = url.path().mid(1);
    if (a.user.isEmpty()) return refuse("the address names no user: " + form);
    if (a.host.isEmpty()) return refuse("the address names no server: " + form);
    if (a.database.isEmpty() || a.database.contains('/')) return refuse("the address names no database: " + form);
    if (a.port <= 0 || a.port > 65535) return refuse("the port is not between 1 and 65535");
    if (url.hasQuery() || url.hasFragment()) return refuse("the address has more than user, server, port and database");
    if (why) why->clear();
    return a;
}

}  // namespace history
