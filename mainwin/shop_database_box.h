#pragma once
#include <QGroupBox>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace mainwin {

// "Shop database" in Options: the address of the shop's shared runs database, the name this
// bench goes by in it, and "Test connection", which says in plain words what a try came to. The try itself is the app's
// (it runs off the UI thread and answers later); the box only asks and shows.
class ShopDatabaseBox : public QGroupBox {
public:
    using Answer = std::function<void(const QString& words)>;
    // Tries the address and calls the answer on `context`'s thread, unless `context` is gone.
    using Tester = std::function<void(const QString& address, QObject* context, Answer answer)>;

    ShopDatabaseBox(const QString& address, const QString& station, Tester tester, QWidget* parent = nullptr);

    QString address() const;
    QString station() const;
    void testConnection();

    QLineEdit* txtShopDatabase = nullptr;
    QLineEdit* txtStationName = nullptr;
    QPushButton* cmdTestConnection = nullptr;
    QLabel* lblShopDatabaseAnswer = nullptr;

private:
    Tester tester_;
};

}  // namespace mainwin
