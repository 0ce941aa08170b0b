#include "sim/SimLine.h"

namespace sim {

std::string Hex(uint32_t value, int digits) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        out[static_cast<size_t>(i)] = kDigits[value & 0xF];
        value >>= 4;
    }
    return out;
}

bool IsHexDigit(char c) { return HexValue(c) >= 0; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int PairSum(const std::string& text) {
    unsigned sum = 0;
    size_t i = 0;
    while (i < text.size()) {
        if (!IsHexDigit(text[i])) {
            ++i;
            continue;
        }
        if (i + 1 >= text.size() || !IsHexDigit(text[i + 1])) return -1;
        sum += static_cast<unsigned>(HexValue(text[i]) * 16 + HexValue(text[i + 1]));
        i += 2;
    }
    return static_cast<int>(sum & 0xFF);
}

namespace {
std::string ChecksumFor(const std::string& text) {
    int sum = PairSum(text);
    return Hex(static_cast<uint32_t>((256 - (sum < 0 ? 0 : sum)) & 0xFF), 2);
}
}  // namespace

std::string FinishFieldLine(const std::string& text) { return text + ":" + ChecksumFor(text) + "\r\n"; }

std::string BuildFieldLine(uint8_t kind, uint8_t code, uint8_t sequence, const std::vector<std::string>& fields) {
    std::string text = Hex(kind, 2) + Hex(code, 2) + Hex(sequence, 2);
    for (const std::string& field : fields) text += ":" + field;
    return FinishFieldLine(text);
}

std::string FinishRequestLine(const std::string& text) { return text + ChecksumFor(text) + "\r\n"; }

}  // namespace sim
