#include "comm/ParamValue.h"

void ParamValue::KeepOrReplaceCode(uint32_t newCode) {
    if ((newCode & 0xFFFF) != 0) code = static_cast<uint16_t>(newCode & 0xFFFF);
}

void ParamValue::Store(ParamType newType, uint32_t newValue, uint32_t newCode) {
    type = newType;
    value = newValue;
    KeepOrReplaceCode(newCode);
}

void ParamValue::SetU8(uint32_t v, uint32_t newCode) { Store(PARAM_U8, v & 0xFF, newCode); }
void ParamValue::SetS8(int32_t v, uint32_t newCode) { Store(PARAM_S8, static_cast<uint32_t>(v) & 0xFF, newCode); }
void ParamValue::SetU16(uint32_t v, uint32_t newCode) { Store(PARAM_U16, v & 0xFFFF, newCode); }
void ParamValue::SetS16(int32_t v, uint32_t newCode) {
    Store(PARAM_S16, static_cast<uint32_t>(v) & 0xFFFF, newCode);
}
void ParamValue::SetU32(uint32_t v, uint32_t newCode) { Store(PARAM_U32, v, newCode); }
void ParamValue::SetS32(int32_t v, uint32_t newCode) { Store(PARAM_S32, static_cast<uint32_t>(v), newCode); }

void ParamValue::SetDecimal(const DecimalValue& v, uint32_t newCode) {
    decimal = v;
    type = PARAM_DECIMAL;
    KeepOrReplaceCode(newCode);
}

void ParamValue::SetPackedDecimal(uint32_t packed, uint32_t newCode) {
    decimal = decimal_from_packed(packed);
    type = PARAM_DECIMAL;
    KeepOrReplaceCode(newCode);
}
