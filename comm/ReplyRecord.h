// One received protocol line split into its ':'-separated hexadecimal fields.
#pragma once

#include <cstdint>

// 0-9 for '0'-'9', 10-15 for 'a'-'f' and 'A'-'F', 0 for any other character.
int HexDigitValue(char c);
// Up to 2 hex digits from the position, stopping at the first non-hex character.
int ParseHexByte(const char* text);
bool IsHexDigit(char c);

class ReplyRecord {
public:
    static constexpr int kMaxFields = 24;

    explicit ReplyRecord(const char* lineText);
    ~ReplyRecord();
    ReplyRecord(const ReplyRecord&) = delete;
    ReplyRecord& operator=(const ReplyRecord&) = delete;

    uint8_t GetKind() const { return kind; }
    uint8_t GetCode() const { return code; }
    uint8_t GetSequence() const { return sequence; }
    int GetFieldCount() const { return fieldCount; }
    // Text of field i; an empty text when i is out of range.
    const char* GetFieldText(int i) const;
    uint32_t GetUnsigned(int i) const;
    int32_t GetSigned(int i) const;
    double GetFloat(int i) const;
    double GetDecimal(int i) const;

private:
    uint8_t kind = 0;
    uint8_t code = 0;
    uint8_t sequence = 0;
    char* text = nullptr;
    int32_t textLength = 0;
    const char* fields[kMaxFields] = {};
    int32_t fieldCount = 0;
};
