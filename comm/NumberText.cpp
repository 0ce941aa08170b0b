#include "comm/NumberText.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// The text without surrounding blanks, when it is plain ASCII; empty otherwise.
std::string TrimmedAscii(const wxString& text) {
    std::string ascii;
    for (wxUniChar c : text) {
        if (!c.IsAscii()) return std::string();
        ascii.push_back(static_cast<char>(c.GetValue()));
    }
    const size_t first = ascii.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    const size_t last = ascii.find_last_not_of(" \t");
    return ascii.substr(first, last - first + 1);
}

// Sign, digits, at most one point (only when allowPoint), at least one digit.
bool IsPlainNumber(const std::string& text, bool allowPoint) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    int digits = 0;
    int points = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.' && allowPoint && points == 0) {
            ++points;
        } else {
            return false;
        }
    }
    return digits > 0;
}

}  // namespace

bool ParseDecimalText(const wxString& text, double* out) {
    const std::string plain = TrimmedAscii(text);
    if (!IsPlainNumber(plain, true)) return false;
    // strtod reads '.' only in the "C" numeric locale, which the toolkit keeps; a plain number
    // of digits cannot name anything strtod reads differently.
    char* end = nullptr;
    const double value = std::strtod(plain.c_str(), &end);
    if (end != plain.c_str() + plain.size() || !std::isfinite(value)) return false;
    *out = value;
    return true;
}

bool ParseIntegerText(const wxString& text, long* out) {
    const std::string plain = TrimmedAscii(text);
    if (!IsPlainNumber(plain, false)) return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(plain.c_str(), &end, 10);
    if (errno == ERANGE || end != plain.c_str() + plain.size()) return false;
    *out = value;
    return true;
}

bool ParseDecimalValueText(const wxString& text, DecimalValue* out) {
    double checked = 0;
    if (!ParseDecimalText(text, &checked)) return false;
    *out = decimal_parse(TrimmedAscii(text).c_str());
    return true;
}

long RoundHalfAway(double value) {
    const double rounded = value >= 0 ? value + 0.5 : value - 0.4999;
    // Callers check their ranges first; a value beyond long still must not convert undefined.
    if (!(rounded > static_cast<double>(LONG_MIN) && rounded < static_cast<double>(LONG_MAX))) return 0;
    return static_cast<long>(rounded);
}
