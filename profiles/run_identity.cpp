#include "profiles/run_identity.h"

#include "ui/widget_names.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>

namespace profiles {

namespace {

// Refuses control characters as they are typed or pasted.
class NoControlCharacters : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (const QChar c : input)
            if (c.category() == QChar::Other_Control) return Invalid;
        return Acceptable;
    }
};

QLineEdit* identityBox(QWidget* parent, const char* name, const QString& tip) {
    auto* box = ui::named(new QLineEdit(parent), name);
    box->setMaxLength(RunIdentityBoxes::kMaxLength);
    box->setValidator(new NoControlCharacters(box));
    box->setToolTip(tip);
    box->setClearButtonEnabled(true);
    QObject::connect(box, &QLineEdit::returnPressed, box, [box] {
        box->setText(identityText(box->text()));
        box->selectAll();
    });
    return box;
}

}  // namespace

QString identityText(const QString& text) {
    QString out;
    for (const QChar c : text)
        if (c.category() != QChar::Other_Control) out += c;
    return out.trimmed().left(RunIdentityBoxes::kMaxLength);
}

RunIdentityBoxes makeRunIdentityBoxes(QWidget* parent) {
    RunIdentityBoxes boxes;
    boxes.board = identityBox(parent, "boardBox", "The board's serial number or the job (optional; a scanner may type it)");
    boxes.operatorName = identityBox(parent, "operatorBox", "Who runs the profile (optional; remembered)");
    boxes.row = new QHBoxLayout;
    boxes.row->setContentsMargins(8, 0, 8, 0);
    boxes.row->addWidget(new QLabel("Board: ", parent));
    boxes.row->addWidget(boxes.board, 2);
    boxes.row->addSpacing(24);
    boxes.row->addWidget(new QLabel("Operator: ", parent));
    boxes.row->addWidget(boxes.operatorName, 1);
    boxes.row->addStretch(2);
    return boxes;
}

}  // namespace profiles
