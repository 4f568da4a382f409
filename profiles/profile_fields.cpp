#include "profiles/profile_fields.h"

namespace profiles {

namespace {
bool blank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

bool FieldReader::atEnd() const {
    for (qsizetype i = pos_; i < data_.size(); ++i)
        if (!blank(data_[i]) && !lineEnd(i)) return false;
    return true;
}

void FieldReader::skipTerminator() {
    if (pos_ >= data_.size()) return;
    if (data_[pos_] == ',' || data_[pos_] == '\n') {
        ++pos_;
    } else if (data_[pos_] == '\r') {
        ++pos_;
        if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
    }
}

std::optional<QString> FieldReader::next() {
    if (atEnd()) return std::nullopt;
    while (pos_ < data_.size() && blank(data_[pos_])) ++pos_;
    qsizetype start = pos_;
    qsizetype end = pos_;
    if (pos_ < data_.size() && data_[pos_] == '"') {
        start = ++pos_;
        while (pos_ < data_.size() && data_[pos_] != '"' && !lineEnd(pos_)) ++pos_;
        end = pos_;
        while (pos_ < data_.size() && data_[pos_] != ',' && !lineEnd(pos_)) ++pos_;
    } else {
        while (pos_ < data_.size() && data_[pos_] != ',' && !lineEnd(pos_)) ++pos_;
        end = pos_;
    }
    skipTerminator();
    return QString::fromLatin1(data_.constData() + start, end - start);
}

std::optional<std::int16_t> wholeNumber(const QString& text) {
    qsizetype i = 0, e = text.size();
    while (i < e && (text[i] == ' ' || text[i] == '\t')) ++i;
    while (e > i && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    bool negative = false;
    if (i < e && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == e) return std::nullopt;
    int value = 0;
    for (; i < e; ++i) {
        const char16_t c = text[i].unicode();
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 32768) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > 32767) return std::nullopt;
    return std::int16_t(value);
}

}  // namespace profiles
