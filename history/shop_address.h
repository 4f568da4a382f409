#pragma once
#include <QString>

#include <optional>

namespace history {

// Where a shop's shared runs database lives: postgresql://user@host:port/dbname. The
// password is never part of it: the PostgreSQL client library takes it from the user's
// password file (~/.pgpass or PGPASSFILE) or from PGPASSWORD.
struct ShopAddress {
    static constexpr int kDefaultPort = 5432;
    QString user, host;
    int port = kDefaultPort;
    QString database;

    QString text() const;  // the address written back, as above
    bool operator==(const ShopAddress&) const = default;
};

// The address in `text`, or nothing with the reason in `why` (for the Options box and the
// command line). The port may be left out; a password in it is refused.
std::optional<ShopAddress> parseShopAddress(const QString& text, QString* why = nullptr);

}  // namespace history
