#include "comm/ReplyRecord.h"

#include <cstring>

#include "comm/ValueEncoding.h"

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

int ParseHexByte(const char* text) {
    if (!text || !IsHexDigit(text[0])) return 0;
    int value = HexDigitValue(text[0]);
    if (IsHexDigit(text[1])) value = value * 16 + HexDigitValue(text[1]);
    return value;
}

ReplyRecord::ReplyRecord(const char* lineText) {
    Parse(lineText, lineText ? static_cast<int32_t>(std::strlen(lineText)) : 0);
}

ReplyRecord::ReplyRecord(const char* lineText, int32_t length) { Parse(lineText, length); }

ReplyRecord::~ReplyRecord() { delete[] text; }

void ReplyRecord::Parse(const char* lineText, int32_t length) {
    if (!lineText || length <= 0) return;
    if (const void* nul = std::memchr(lineText, 0, static_cast<size_t>(length)))
        length = static_cast<int32_t>(static_cast<const char*>(nul) - lineText);
    if (length <= 5) return;  // no room for the head: an empty record

    text = new char[static_cast<size_t>(length) + 1];
    std::memcpy(text, lineText, static_cast<size_t>(length));
    text[length] = '\0';
    textLength = length;
    kind = static_cast<uint8_t>(ParseHexByte(text));
    code = static_cast<uint8_t>(ParseHexByte(text + 2));
    sequence = static_cast<uint8_t>(ParseHexByte(text + 4));

    // Fields are the hex runs after each ':'; whatever stands before the first ':' is no field.
    // The copy is cut in place, so each field ends in a terminator.
    char* const end = text + length;
    char* p = static_cast<char*>(std::memchr(text, ':', static_cast<size_t>(length)));
    for (; p && p < end; ++p) {
        if (*p == ':') {
            *p = '\0';
            if (IsHexDigit(p[1]) && fieldCount < kMaxFields) fields[fieldCount++] = p + 1;
        } else if (!IsHexDigit(*p)) {
            *p = '\0';
            break;
        }
    }
}

const char* ReplyRecord::GetFieldText(int i) const {
    if (i < 0 || i >= fieldCount) return "";
    return fields[i];
}

uint32_t ReplyRecord::GetUnsigned(int i) const {
    uint32_t value = 0;
    for (const char* p = GetFieldText(i); *p; ++p) value = value * 16u + static_cast<uint32_t>(HexDigitValue(*p));
    return value;
}

int32_t ReplyRecord::GetSigned(int i) const {
    const char* p = GetFieldText(i);
    // Unsigned arithmetic wraps like the panel's own; the start of all ones sign-extends.
    uint32_t value = HexDigitValue(*p) >= 8 ? 0xFFFFFFFFu : 0u;
    for (; *p; ++p) value = value * 16u + static_cast<uint32_t>(HexDigitValue(*p));
    return static_cast<int32_t>(value);
}

double ReplyRecord::GetFloat(int i) const { return packed_float_to_double(GetUnsigned(i)); }

double ReplyRecord::GetDecimal(int i) const {
    return decimal_to_double(decimal_from_packed(GetUnsigned(i) & 0xFFFFFFu));
}
