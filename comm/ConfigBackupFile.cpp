#include "comm/ConfigBackupFile.h"

#include <wx/file.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

uint32_t HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
    return static_cast<uint32_t>(c - 'A' + 10);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanks(const char* p) {
    while (IsBlank(*p)) ++p;
    return p;
}

const char kUtf8Bom[] = {'\xEF', '\xBB', '\xBF'};

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

FileLineReader::FileLineReader(wxFile& file, size_t chunkSize)
    // The byte-order mark is told from the first three bytes, so a chunk holds at least those.
    : m_file(file), m_chunk(std::max<size_t>(chunkSize, sizeof kUtf8Bom)) {}

bool FileLineReader::Fill() {
    if (m_failed) return false;
    m_pos = 0;
    m_end = 0;
    do {
        const ssize_t got = m_file.Read(m_chunk.data() + m_end, m_chunk.size() - m_end);
        if (got < 0) {  // wxInvalidOffset
            m_failed = true;
            m_end = 0;
            return false;
        }
        if (got == 0) break;
        m_end += static_cast<size_t>(got);
    } while (!m_started && m_end < sizeof kUtf8Bom);
    if (!m_started) {
        m_started = true;
        // A chunk that held the mark alone says nothing yet about the end of the file.
        if (m_end >= sizeof kUtf8Bom && std::memcmp(m_chunk.data(), kUtf8Bom, sizeof kUtf8Bom) == 0) {
            m_pos = sizeof kUtf8Bom;
            if (m_pos == m_end) return Fill();
        }
    }
    return m_pos < m_end;
}

int FileLineReader::ReadFileLine(char* buffer, int size) {
    int count = 0;  // bytes of the line before its line feed
    int stored = 0;
    bool whole = true;
    for (;;) {
        if (m_pos == m_end && !Fill()) {
            buffer[stored] = '\0';
            m_lastWhole = whole;
            if (m_failed) return -1;
            return count > 0 ? count : kFileLineEnd;
        }
        const char* begin = m_chunk.data() + m_pos;
        const char* feed = static_cast<const char*>(std::memchr(begin, '\n', m_end - m_pos));
        const char* stop = feed ? feed : m_chunk.data() + m_end;
        for (const char* p = begin; p < stop; ++p) {
            ++count;
            if (*p == '\r') continue;
            if (*p == '\0') whole = false;
            if (stored < size - 1) {
                buffer[stored++] = *p;
            } else {
                whole = false;
            }
        }
        m_pos = static_cast<size_t>(stop - m_chunk.data());
        if (feed) {
            ++m_pos;
            break;
        }
    }
    buffer[stored] = '\0';
    m_lastWhole = whole;
    return count;
}

ParamValue* ParseBackupLine(const char* line) {
    if (line[0] != 'P') return nullptr;
    const char* p = line + 1;
    uint32_t code = 0;
    for (int i = 0; i < 4; ++i, ++p) {
        if (!IsHexDigit(*p)) return nullptr;
        code = code << 4 | HexDigitValue(*p);
    }
    // A fifth digit is not blank and not "=": the line is refused here.
    p = SkipBlanks(p);
    if (*p != '=') return nullptr;
    const char* text = SkipBlanks(p + 1);
    int digits = 0;
    while (IsHexDigit(text[digits])) ++digits;
    if (digits != 2 && digits != 4 && digits != 6 && digits != 8) return nullptr;
    const char letter = text[digits];
    if (letter != 'u' && letter != 's') return nullptr;
    if (*SkipBlanks(text + digits + 1) != '\0') return nullptr;
    ParamValue* value = ParseParamValue(text);
    if (value) value->code = static_cast<uint16_t>(code);
    return value;
}

bool IsBackupNoteLine(const char* line) { return line[0] == '#' || *SkipBlanks(line) == '\0'; }

BackupFileReader::BackupFileReader(wxFile& file, size_t chunkSize) : m_lines(file, chunkSize) {}

std::unique_ptr<ParamValue> BackupFileReader::NextParam() {
    char line[kBackupLineSize];
    for (;;) {
        const int result = m_lines.ReadFileLine(line, sizeof line);
        if (result == kFileLineEnd) return nullptr;
        if (result < 0) {
            m_failed = true;
            return nullptr;
        }
        ++m_lineNumber;
        // A comment may be cut or hold anything; a blank or parameter line must be seen whole.
        if (line[0] == '#') continue;
        const bool whole = m_lines.LastLineWhole();
        if (whole && IsBackupNoteLine(line)) continue;
        std::unique_ptr<ParamValue> value(whole ? ParseBackupLine(line) : nullptr);
        if (value) {
            ++m_params;
            return value;
        }
        ++m_skipped;
        if (m_firstSkipped == 0) m_firstSkipped = m_lineNumber;
    }
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
