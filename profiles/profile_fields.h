#pragma once
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace profiles {

// Reads a profile file field by field. A field ends at a comma or at the end of a line
// (CR LF, a lone LF or a lone CR); blanks (spaces, tabs) before a field are skipped and
// those after it kept. A field that begins with a double quote is taken without the
// quotes and may hold commas; it ends at the closing quote or the end of its line, and
// what follows the closing quote up to the next comma or line end is dropped. Bytes are
// characters one to one (Latin-1), so any file reads without loss.
class FieldReader {
public:
    explicit FieldReader(QByteArray data) : data_(std::move(data)) {}
    // True when nothing but blanks and line ends is left.
    bool atEnd() const;
    // The next field, or nothing at the end (as atEnd tells). A blank line is one empty field.
    std::optional<QString> next();

private:
    bool lineEnd(qsizetype i) const { return data_[i] == '\r' || data_[i] == '\n'; }
    void skipTerminator();

    QByteArray data_;
    qsizetype pos_ = 0;
};

// A whole decimal number in 16 bits: blanks around it are ignored, one sign may lead.
// Nothing for anything else (no digits, other characters, too large).
std::optional<std::int16_t> wholeNumber(const QString& text);

}  // namespace profiles
