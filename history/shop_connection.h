#pragma once
#include "history/run_entry.h"
#include "history/schema.h"
#include "history/shop_address.h"

#include <QSqlDatabase>
#include <QString>

namespace history {

// What a try to reach the shop database came to.
enum class ShopFailure { None, Password, NoDatabase, Unreachable, Other };

struct ShopAnswer {
    ShopFailure failure = ShopFailure::None;
    QString detail;  // the server's or the client library's own words
    bool ok() const { return failure == ShopFailure::None; }
};

// The kind of failure in a PostgreSQL client's error text.
ShopFailure classifyShopError(const QString& text);
// The answer in plain words, for the Options box and the diagnostic list.
QString plainWords(const ShopAddress& address, const ShopAnswer& answer);

// One connection to a shop's PostgreSQL database through Qt's QPSQL driver, used only on
// the thread that made it. It opens without a password of ours (the client library reads
// the password file), gives up on a server that does not answer within the timeout, and
// notices a server that went away within seconds (TCP keepalives and a send timeout).
class ShopConnection {
public:
    static constexpr int kTimeoutS = 5;
    // The advisory lock that lets one bench at a time create or migrate the schema.
    static constexpr qint64 kSchemaLock = 0x4b52'3933'3030'0001;

    explicit ShopConnection(ShopAddress address, int timeoutS = kTimeoutS);
    ~ShopConnection();
    ShopConnection(const ShopConnection&) = delete;
    ShopConnection& operator=(const ShopConnection&) = delete;

    ShopAnswer open();
    void close();
    bool isOpen() const;
    const ShopAddress& address() const { return address_; }
    QSqlDatabase connection() const;

    // Creates the schema or brings it forward, at most to `upToVersion`, in one transaction
    // under the advisory lock: of benches starting together one migrates, the others find
    // it done. The number of steps this connection applied, or -1 (lastAnswer() says why).
    int ensureSchema(int upToVersion = newestSchemaVersion());

    enum class Sent { Stored, AlreadyThere, Failed };
    // The run and its rows in one transaction keyed by its id: a run the server holds
    // already is left as it is, so sending it again after a lost answer is harmless.
    // `station` names this bench when the run does not.
    Sent send(const RunEntry& run, const QString& station);

    ShopAnswer lastAnswer() const { return last_; }

private:
    ShopAnswer failed(const QString& text);
    bool insertRows(const RunEntry& run);

    ShopAddress address_;
    int timeoutS_;
    QString name_;
    ShopAnswer last_;
};

}  // namespace history
