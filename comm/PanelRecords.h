// The records that PanelClient makes from the panel's replies, its result codes and its states.
#pragma once

#include <cstdint>

// Result of a parameter read or write.
enum ParamStatus : int {
    PARAM_OK = 0,
    PARAM_REJECTED = 1,       // read reply without a value; write refused (reply field 1 bit 0)
    PARAM_NO_REPLY = 2,       // no reply after all tries, or no engine
    PARAM_BAD_REPLY = 3,      // reply of an unexpected shape
    PARAM_CODE_MISMATCH = 4,  // reply field 0 is not the requested code
    PARAM_BAD_TYPE = 5,       // write of a value whose kind is not 1-4; nothing sent
    PARAM_DATA_ERROR = 6,     // read without a value, attribute bits 3-5 = 4: damaged configuration
};

enum PanelClientState : int {
    CLIENT_IDLE = 1,          // no driver
    CLIENT_ATTACHED = 2,      // driver attached, engine made
    CLIENT_STARTED = 3,       // panel identified and pushed reports started
    CLIENT_DRIVER_LOST = 4,   // the driver stopped
};

// Identification of the panel (identify reply).
struct PanelIdent {
    static constexpr uint16_t kFlagNoSerial = 0x01;
    static constexpr uint16_t kFlagConfigDataError = 0x20;
    static constexpr uint16_t kFlagFactoryDataError = 0x40;

    uint16_t typeCode = 0;   // 0x352 for the supported model
    uint32_t version = 0;    // byte 2 letter index, byte 1 major, byte 0 minor
    uint16_t field2 = 0;     // kept, not interpreted
    uint16_t flags = 0;
    uint16_t serial = 0;     // 0 unless the reply had 6 fields
    uint16_t field5 = 0;     // kept, not interpreted
    uint8_t serialFieldsPresent = 0;  // 1 when the reply had exactly 6 fields

    // 0 for none, else the version carries the letter 64 + index ('A' for 1).
    uint8_t GetVersionLetter() const { return static_cast<uint8_t>((version >> 16) & 0xFF); }
    uint8_t GetVersionMajor() const { return static_cast<uint8_t>((version >> 8) & 0xFF); }
    uint8_t GetVersionMinor() const { return static_cast<uint8_t>(version & 0xFF); }
};

// Kinds of the panel's extension slots (slot reply).
struct PanelSlotConfig {
    uint8_t slotKinds[4] = {};    // field 1, least significant byte first
    uint8_t field0 = 0;           // low byte of field 0
    uint8_t slotBytesPresent = 0; // 1 when the reply had exactly 2 fields
};

// One index of the panel's parameter list (list-enumeration reply).
struct ParamListEntry {
    static constexpr uint8_t kPresent = 1;
    static constexpr uint8_t kEmpty = 2;   // no parameter at this index: skip it
    static constexpr uint8_t kEnd = 3;     // past the end of the list

    uint16_t index = 0;      // the index asked for
    uint16_t code = 0;
    uint8_t sizeClass = 0;   // low nibble of field 3
    uint8_t isSigned = 0;    // bit 7 of field 3
    uint8_t status = 0;
};
