#pragma once
#include <QString>

class QHBoxLayout;
class QLineEdit;
class QWidget;

namespace profiles {

// Who ran a run and on which board: two optional boxes of the editor. A barcode scanner
// that types the code and sends Enter fills the board box; Enter selects the text, so the
// next scan replaces it.
struct RunIdentityBoxes {
    static constexpr int kMaxLength = 40;
    QLineEdit* board = nullptr;     // "Board": a serial number or job
    QLineEdit* operatorName = nullptr;  // "Operator": remembered between runs
    QHBoxLayout* row = nullptr;
};
RunIdentityBoxes makeRunIdentityBoxes(QWidget* parent);

// A box's text as a run keeps it: control characters out, blanks trimmed, at most 40
// characters.
QString identityText(const QString& text);

}  // namespace profiles
