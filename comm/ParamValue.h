// One panel parameter as read from or written to the panel: its code, the attribute byte of
// the read reply, the type byte and the value. Batch reads hand out heap arrays of these that
// the caller frees.
#pragma once

#include <cstdint>

#include "comm/ValueEncoding.h"

// Type byte: the low three bits are the kind; bit 7 marks a signed value while bit 6 is clear.
using ParamType = uint8_t;

constexpr ParamType PARAM_U8 = 1;
constexpr ParamType PARAM_U16 = 2;
constexpr ParamType PARAM_DECIMAL = 3;
constexpr ParamType PARAM_U32 = 4;
constexpr ParamType PARAM_S8 = 0x81;
constexpr ParamType PARAM_S16 = 0x82;
constexpr ParamType PARAM_S32 = 0x84;

constexpr ParamType kParamKindMask = 0x07;

inline int ParamKind(ParamType type) { return type & kParamKindMask; }
inline bool IsSignedParamType(ParamType type) { return (type & 0xC0) == 0x80; }

struct ParamValue {
    uint16_t code = 0;
    uint8_t attribute = 0;
    ParamType type = 0;
    // The integer kinds as a zero-extended bit pattern (a signed read keeps its sign-extended
    // 32-bit pattern); for the decimal kind the raw 24-bit packed number as read.
    uint32_t value = 0;
    DecimalValue decimal;

    // Each setter sets the type as well. The code is replaced only when the low 16 bits of
    // the code argument are non-zero, so that edit dialogs passing 0 keep the code read.
    void SetU8(uint32_t v, uint32_t newCode = 0);
    void SetS8(int32_t v, uint32_t newCode = 0);
    void SetU16(uint32_t v, uint32_t newCode = 0);
    void SetS16(int32_t v, uint32_t newCode = 0);
    void SetU32(uint32_t v, uint32_t newCode = 0);
    void SetS32(int32_t v, uint32_t newCode = 0);
    void SetDecimal(const DecimalValue& v, uint32_t newCode = 0);
    void SetPackedDecimal(uint32_t packed, uint32_t newCode = 0);

    uint8_t GetU8() const { return static_cast<uint8_t>(value & 0xFF); }
    uint16_t GetU16() const { return static_cast<uint16_t>(value & 0xFFFF); }
    uint32_t GetU32() const { return value; }
    const DecimalValue* GetDecimal() const { return &decimal; }

private:
    void Store(ParamType newType, uint32_t newValue, uint32_t newCode);
    void KeepOrReplaceCode(uint32_t newCode);
};
