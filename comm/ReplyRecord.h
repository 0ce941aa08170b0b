// One received protocol line split into its ':'-separated hexadecimal fields.
#pragma once

#include <cstdint>

// 0-9 for '0'-'9', 10-15 for 'a'-'f' and 'A'-'F', 0 for any other character.
int HexDigitValue(char c);
// Up to 2 hex digits from the position, stopping at the first non-hex character (0 when the
// first one is not hex). Reads the second character only when the first is a hex digit, so a
// terminated text is never read past its end.
int ParseHexByte(const char* text);
bool IsHexDigit(char c);

class ReplyRecord {
public:
    static constexpr int kMaxFields = 24;

    // Copies and parses a terminated line text.
    explicit ReplyRecord(const char* lineText);
    // Copies and parses length bytes of text; the text ends early at a NUL byte.
    ReplyRecord(const char* lineText, int32_t length);
    ~ReplyRecord();
    ReplyRecord(const ReplyRecord&) = delete;
    ReplyRecord& operator=(const ReplyRecord&) = delete;

    uint8_t GetKind() const { return kind; }
    uint8_t GetCode() const { return code; }
    uint8_t GetSequence() const { return sequence; }
    int GetFieldCount() const { return fieldCount; }
    // Text of field i; an empty text when i is out of range.
    const char* GetFieldText(int i) const;
    // Field i modulo 2^32 (a field of more than 8 digits keeps its last 8); 0 out of range.
    uint32_t GetUnsigned(int i) const;
    // Field i sign-extended from its own width (ff -1, 7f 127, fff6 -10); 0 out of range.
    int32_t GetSigned(int i) const;
    // Field i as a packed single-precision float.
    double GetFloat(int i) const;
    // Low 24 bits of field i as a packed decimal number.
    double GetDecimal(int i) const;

private:
    void Parse(const char* lineText, int32_t length);

    uint8_t kind = 0;
    uint8_t code = 0;
    uint8_t sequence = 0;
    char* text = nullptr;
    int32_t textLength = 0;
    const char* fields[kMaxFields] = {};
    int32_t fieldCount = 0;
};
