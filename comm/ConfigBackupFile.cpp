#include "comm/ConfigBackupFile.h"

#include <wx/file.h>

#include <cstdio>

namespace {

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

uint32_t HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
    return static_cast<uint32_t>(c - 'A' + 10);
}

}  // namespace

const char* FormatParamValue(const ParamValue* value, char* buffer) {
    static char shared[kParamValueTextSize];
    char* out = buffer ? buffer : shared;
    const char letter = (value->type & 0x80) ? 's' : 'u';
    switch (value->type & 0x0F) {
        case PARAM_U8:
            std::snprintf(out, kParamValueTextSize, "%02x%c", static_cast<unsigned>(value->value & 0xFF), letter);
            break;
        case PARAM_U16:
            std::snprintf(out, kParamValueTextSize, "%04x%c", static_cast<unsigned>(value->value & 0xFFFF), letter);
            break;
        case PARAM_U32:
            std::snprintf(out, kParamValueTextSize, "%08x%c", static_cast<unsigned>(value->value), letter);
            break;
        case PARAM_DECIMAL:
            std::snprintf(out, kParamValueTextSize, "%04x%02x%c",
                          static_cast<unsigned>(static_cast<uint16_t>(value->decimal.mantissa)),
                          static_cast<unsigned>(value->decimal.decimals), letter);
            break;
        default:
            std::snprintf(out, kParamValueTextSize, "%c", letter);
            break;
    }
    return out;
}

ParamValue* ParseParamValue(const char* text) {
    int digits = 0;
    uint32_t number = 0;
    while (digits <= 8 && IsHexDigit(text[digits])) {
        number = number << 4 | HexDigitValue(text[digits]);
        ++digits;
    }
    // The signedness letter must follow the digits.
    const char letter = text[digits];
    if (letter == '\0' || IsHexDigit(letter)) return nullptr;
    const bool isSigned = letter == 's';
    auto* value = new ParamValue;
    switch (digits) {
        case 2:
            if (isSigned) {
                value->SetS8(static_cast<int8_t>(number));
            } else {
                value->SetU8(number);
            }
            break;
        case 4:
            if (isSigned) {
                value->SetS16(static_cast<int16_t>(number));
            } else {
                value->SetU16(number);
            }
            break;
        case 6:
            // The decimal kind has no signed form of its own: the mantissa carries the sign.
            value->SetDecimal(decimal_from_packed(number));
            value->value = number;
            break;
        case 8:
            if (isSigned) {
                value->SetS32(static_cast<int32_t>(number));
            } else {
                value->SetU32(number);
            }
            break;
        default:
            delete value;
            return nullptr;
    }
    return value;
}

int ReadFileLine(wxFile& file, char* buffer, int size) {
    int count = 0;   // bytes of the line before its line feed
    int stored = 0;
    for (;;) {
        char c;
        const ssize_t got = file.Read(&c, 1);
        if (got == wxInvalidOffset) {
            buffer[stored] = '\0';
            return -1;
        }
        if (got == 0) {
            buffer[stored] = '\0';
            return count > 0 ? count : kFileLineEnd;
        }
        if (c == '\n') break;
        ++count;
        if (c == '\r') continue;
        if (stored < size - 1) buffer[stored++] = c;
    }
    buffer[stored] = '\0';
    return count;
}

ParamValue* ParseBackupLine(const char* line) {
    if (line[0] != 'P') return nullptr;
    // The code field must hold a hex digit: a line like "P = 01u" names no parameter.
    if (!IsHexDigit(line[1])) return nullptr;
    uint32_t code = 0;
    for (const char* p = line + 1; IsHexDigit(*p); ++p) code = (code << 4 | HexDigitValue(*p)) & 0xFFFF;
    // The value starts at the first hex digit from the sixth character on.
    for (int i = 1; i <= 5; ++i)
        if (line[i] == '\0') return nullptr;
    const char* text = line + 5;
    while (*text != '\0' && !IsHexDigit(*text)) ++text;
    if (*text == '\0') return nullptr;
    ParamValue* value = ParseParamValue(text);
    if (value) value->code = static_cast<uint16_t>(code);
    return value;
}

std::string FormatBackupLine(const ParamValue* value) {
    const int kind = value->type & 0x0F;
    if (kind < PARAM_U8 || kind > PARAM_U32) return std::string();
    char valueText[kParamValueTextSize];
    char line[32];
    std::snprintf(line, sizeof line, "P%04x = %s\n", static_cast<unsigned>(value->code),
                  FormatParamValue(value, valueText));
    return line;
}

std::string FormatBackupHeader(uint16_t panelType, uint8_t fwLetter, uint8_t fwMajor, uint8_t fwMinor, uint32_t serial,
                               const wxDateTime& when) {
    char first[80];
    std::snprintf(first, sizeof first, "# QM-%03x ver=%02x%02x%02x sn=%lu\n", static_cast<unsigned>(panelType),
                  static_cast<unsigned>(fwLetter), static_cast<unsigned>(fwMajor), static_cast<unsigned>(fwMinor),
                  static_cast<unsigned long>(serial));
    const wxString stamp = when.Format(wxASCII_STR("# %Y-%m-%d %H:%M:%S\n"));
    return std::string(first) + stamp.ToStdString(wxConvUTF8);
}

wxString DefaultBackupFileName(uint16_t panelType, uint32_t serial, const wxDateTime& when) {
    return wxString::Format(wxASCII_STR("qm%03x-%u-"), static_cast<unsigned>(panelType), static_cast<unsigned>(serial)) +
           when.Format(wxASCII_STR("%y%m%d-%H%M")) + wxASCII_STR(".conf");
}
