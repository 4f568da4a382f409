#include "settings/number_text.h"

#include <cstdlib>
#include <string>

namespace settings {

double leadingNumber(const QString& text) {
    std::string s;
    for (QChar c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
        s.push_back(c.unicode() < 128 ? char(c.unicode()) : '?');
    }
    std::size_t i = 0;
    std::string num;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) num.push_back(s[i++]);
    bool digits = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        num.push_back(s[i++]);
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        num.push_back(s[i++]);
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            num.push_back(s[i++]);
            digits = true;
        }
    }
    if (!digits) return 0.0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp.push_back(s[j++]);
        if (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) exp.push_back(s[j++]);
            num += exp;
        }
    }
    return std::strtod(num.c_str(), nullptr);
}

}  // namespace settings
