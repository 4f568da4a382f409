#pragma once
#include <QString>

namespace settings {

// The number a text begins with: blanks and tabs anywhere are ignored, an optional sign,
// digits, a decimal point and an exponent; reading stops at the first character that
// cannot continue the number. A text without a number reads 0.
double leadingNumber(const QString& text);

}  // namespace settings
