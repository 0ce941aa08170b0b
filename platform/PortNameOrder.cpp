#include "platform/PortNameOrder.h"

#include <cctype>

namespace {

struct NameClass {
    int rank;            // 0 COM numbered, 1 other numbered, 2 unnumbered
    std::string prefix;  // letters before the digits (numbered names)
    std::string digits;  // the digit run without leading zeros (numbered names)
};

NameClass Classify(const std::string& name) {
    size_t letters = 0;
    while (letters < name.size() && std::isalpha(static_cast<unsigned char>(name[letters]))) ++letters;
    size_t end = letters;
    while (end < name.size() && std::isdigit(static_cast<unsigned char>(name[end]))) ++end;
    if (letters == 0 || end == letters || end != name.size()) return {2, std::string(), std::string()};
    size_t firstSignificant = name.find_first_not_of('0', letters);
    std::string digits = firstSignificant == std::string::npos ? std::string() : name.substr(firstSignificant);
    std::string prefix = name.substr(0, letters);
    return {prefix == "COM" ? 0 : 1, prefix, digits};
}

// Compares two digit runs (no leading zeros) by value, whatever their length.
int CompareNumbers(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

int Sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

int ComparePortNames(const std::string& a, const std::string& b) {
    NameClass left = Classify(a);
    NameClass right = Classify(b);
    if (left.rank != right.rank) return left.rank < right.rank ? -1 : 1;
    if (left.rank == 2) return Sign(a.compare(b));
    if (left.rank == 1) {
        int byPrefix = left.prefix.compare(right.prefix);
        if (byPrefix != 0) return Sign(byPrefix);
    }
    int byNumber = CompareNumbers(left.digits, right.digits);
    // Equal numbers written differently (COM3, COM03) are ordered by bytes, so that equal names
    // always end up next to each other and the duplicate pass catches every repeat.
    return byNumber != 0 ? byNumber : Sign(a.compare(b));
}
