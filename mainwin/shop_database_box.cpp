#include "mainwin/shop_database_box.h"

#include "ui/widget_names.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSysInfo>

namespace mainwin {

using ui::named;

ShopDatabaseBox::ShopDatabaseBox(const QString& address, const QString& station, Tester tester, QWidget* parent)
    : QGroupBox("Shop database", parent), tester_(std::move(tester)) {
    setObjectName("shopDatabaseGroup");
    auto* g = new QGridLayout(this);
    txtShopDatabase = named(new QLineEdit(address), "txtShopDatabase");
    txtShopDatabase->setPlaceholderText("postgresql://user@host:5432/dbname");
    txtShopDatabase->setToolTip("The shop's shared PostgreSQL database. The password is not kept here: it comes "
                                "from the password file (~/.pgpass) on this PC.");
    txtShopDatabase->setMinimumWidth(260);
    cmdTestConnection = named(new QPushButton("Test connection"), "cmdTestConnection");
    lblShopDatabaseAnswer = named(new QLabel, "lblShopDatabaseAnswer");
    lblShopDatabaseAnswer->setWordWrap(true);
    // Room for an answer of two lines, so that the dialog does not jump when one comes.
    lblShopDatabaseAnswer->setMinimumHeight(2 * lblShopDatabaseAnswer->fontMetrics().lineSpacing() + 4);
    lblShopDatabaseAnswer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* hint = new QLabel("Empty: runs stay on this PC. The password: ~/.pgpass");
    hint->setEnabled(false);  // drawn grey: a hint, not a value
    txtStationName = named(new QLineEdit(station), "txtStationName");
    txtStationName->setPlaceholderText(QSysInfo::machineHostName());
    txtStationName->setMaxLength(40);
    txtStationName->setToolTip("The name this bench's runs carry in the shop's run history. Empty: the computer's name.");
    auto* stationRow = new QHBoxLayout;
    stationRow->addWidget(new QLabel("This bench:"));
    stationRow->addWidget(txtStationName, 1);
    g->addWidget(txtShopDatabase, 0, 0);
    g->addWidget(cmdTestConnection, 0, 1);
    g->addWidget(hint, 1, 0, 1, 2);
    g->addLayout(stationRow, 2, 0, 1, 2);
    g->addWidget(lblShopDatabaseAnswer, 3, 0, 1, 2);
    g->setColumnStretch(0, 1);
    connect(cmdTestConnection, &QPushButton::clicked, this, [this] { testConnection(); });
    connect(txtShopDatabase, &QLineEdit::textEdited, lblShopDatabaseAnswer, &QLabel::clear);
}

QString ShopDatabaseBox::address() const { return txtShopDatabase->text().trimmed(); }

QString ShopDatabaseBox::station() const { return txtStationName->text().trimmed(); }

void ShopDatabaseBox::testConnection() {
    if (address().isEmpty()) {
        lblShopDatabaseAnswer->setText("No address: runs are kept on this PC only.");
        return;
    }
    cmdTestConnection->setEnabled(false);
    lblShopDatabaseAnswer->setText("Trying " + address() + " ...");
    tester_(address(), this, [this](const QString& words) {
        lblShopDatabaseAnswer->setText(words);
        cmdTestConnection->setEnabled(true);
    });
}

}  // namespace mainwin
