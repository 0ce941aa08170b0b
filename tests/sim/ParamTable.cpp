#include "sim/ParamTable.h"

namespace sim {

int ValueDigits(uint8_t type) {
    switch (type & 7) {
    case KIND_U8: return 2;
    case KIND_U16: return 4;
    case KIND_DECIMAL: return 6;
    case KIND_U32: return 8;
    default: return 0;
    }
}

uint32_t FitValue(uint8_t type, uint32_t value) {
    int digits = ValueDigits(type);
    if (digits == 0 || digits == 8) return value;
    return value & ((1u << (4 * digits)) - 1);
}

uint32_t PackDecimal(int mantissa, unsigned decimals) {
    return (static_cast<uint32_t>(mantissa & 0xFFFF) << 8) | (decimals & 0xFF);
}

void ParamTable::Set(const SimParam& param) {
    bool known = params_.count(param.code) != 0;
    SimParam stored = param;
    stored.value = FitValue(param.type, param.value);
    params_[param.code] = stored;
    if (!known) listOrder_.push_back(param.code);
}

bool ParamTable::SetValue(uint16_t code, uint32_t value) {
    SimParam* param = Find(code);
    if (param == nullptr) return false;
    param->value = FitValue(param->type, value);
    return true;
}

const SimParam* ParamTable::Find(uint16_t code) const {
    auto it = params_.find(code);
    return it == params_.end() ? nullptr : &it->second;
}

SimParam* ParamTable::Find(uint16_t code) {
    auto it = params_.find(code);
    return it == params_.end() ? nullptr : &it->second;
}

namespace {

void Add(ParamTable& table, int code, uint8_t type, uint32_t value) {
    SimParam param;
    param.code = static_cast<uint16_t>(code);
    param.type = type;
    param.value = value;
    table.Set(param);
}

void AddRange(ParamTable& table, int first, int last, uint8_t type, uint32_t value) {
    for (int code = first; code <= last; ++code) Add(table, code, type, value);
}

// One regulator's 32-parameter block from 0x200 + 32n: header bytes, zone 1 and 2 set points and
// alarms, times, thresholds, PID factors and time units.
void AddRegulatorBlock(ParamTable& table, int n) {
    const int base = 0x200 + 32 * n;
    Add(table, base + 0x00, KIND_U8, 1);                                   // PV variable
    Add(table, base + 0x01, KIND_U8, 0);                                   // option
    Add(table, base + 0x02, KIND_U8, 0);                                   // inversion
    Add(table, base + 0x03, KIND_U8, 3);                                   // alarm enable
    Add(table, base + 0x04, KIND_DECIMAL, PackDecimal(2150 + 100 * n, 2)); // SP1
    Add(table, base + 0x05, KIND_DECIMAL, PackDecimal(150, 1));            // AL1
    Add(table, base + 0x06, KIND_DECIMAL, PackDecimal(300, 1));            // AH1
    Add(table, base + 0x07, KIND_U16, 100);                                // t1, tenths
    Add(table, base + 0x08, KIND_U16, 200);                                // t2
    Add(table, base + 0x09, KIND_U8, 5);                                   // t3
    Add(table, base + 0x0A, KIND_DECIMAL, PackDecimal(1800, 2));           // SP2
    Add(table, base + 0x0B, KIND_DECIMAL, PackDecimal(-50, 1));            // AL2
    Add(table, base + 0x0C, KIND_DECIMAL, PackDecimal(250, 1));            // AH2
    AddRange(table, base + 0x0D, base + 0x0F, KIND_U8, 0);
    Add(table, base + 0x10, KIND_DECIMAL, PackDecimal(5, 1));              // h1a
    Add(table, base + 0x11, KIND_DECIMAL, PackDecimal(-5, 1));             // h0a
    Add(table, base + 0x12, KIND_DECIMAL, PackDecimal(10, 1));             // h1b
    Add(table, base + 0x13, KIND_DECIMAL, PackDecimal(-10, 1));            // h0b
    Add(table, base + 0x14, KIND_DECIMAL, PackDecimal(250, 2));            // Kp
    Add(table, base + 0x15, KIND_U16, 1200);                               // ti
    Add(table, base + 0x16, KIND_U16, 300);                                // td
    Add(table, base + 0x17, KIND_DECIMAL, PackDecimal(0, 1));              // IN min
    Add(table, base + 0x18, KIND_DECIMAL, PackDecimal(1000, 1));           // IN max
    AddRange(table, base + 0x19, base + 0x1B, KIND_U8, 0);
    Add(table, base + 0x1C, KIND_U8, 0);                                   // t1 unit
    Add(table, base + 0x1D, KIND_U8, 1);                                   // t2 unit
    AddRange(table, base + 0x1E, base + 0x1F, KIND_U8, 0);
}

// An analog output or multiplexer record: three sources, 2 or 4 normalisation decimals and two
// signed 16-bit limits.
void AddAnalogOutput(ParamTable& table, int base, int decimals) {
    Add(table, base + 0, KIND_U8, 1);
    Add(table, base + 1, KIND_U8, 0);
    Add(table, base + 2, KIND_U8, 2);
    for (int i = 0; i < decimals; ++i)
        Add(table, base + 3 + i, KIND_DECIMAL, PackDecimal(i % 2 == 0 ? 0 : 1000, 1));
    Add(table, base + 3 + decimals, KIND_U16 | SIGNED_FLAG, 0);
    Add(table, base + 4 + decimals, KIND_U16 | SIGNED_FLAG, 1000);
}

}  // namespace

ParamTable ParamTable::DefaultQm352() {
    ParamTable table;
    Add(table, 176, KIND_U8, 1);                       // display B source
    AddRange(table, 177, 178, KIND_U16, 0);            // thermometer corrections
    Add(table, 179, KIND_U16, 0);                      // psychrometric code
    Add(table, 180, KIND_U8, 2);                       // display A source
    for (int code = 192; code <= 199; ++code)          // user variables
        Add(table, code, KIND_DECIMAL, PackDecimal(code % 2 == 0 ? 0 : 1000, 1));
    table.listOrder_.push_back(kEmptyListIndex);
    Add(table, 204, KIND_U8, 1);                       // input board: thermometers and humidity
    AddRange(table, 205, 206, KIND_U8, 1);             // Pt input types
    AddRange(table, 207, 210, KIND_U8, 1);             // U/I input types
    Add(table, 211, KIND_U8, 1);                       // regulator types
    Add(table, 212, KIND_U8, 2);
    Add(table, 213, KIND_U8, 3);
    Add(table, 214, KIND_U8, 0);
    AddRange(table, 215, 221, KIND_U8, 0);             // relay primary sources
    Add(table, 222, KIND_U8, 36);                      // clock interval start (10-minute slots)
    Add(table, 223, KIND_U8, 108);                     // clock interval end
    AddRange(table, 224, 225, KIND_U8, 0);             // zone switching source, T500 format
    AddRange(table, 226, 229, KIND_U16, 1000);         // 4-20 mA factors
    AddRange(table, 230, 231, KIND_U8, 0);             // indicator sources
    table.listOrder_.push_back(kEmptyListIndex);
    for (int n = 0; n < 4; ++n) AddRegulatorBlock(table, n);
    AddRange(table, 768, 815, KIND_U8, 0);             // logic gates
    AddRange(table, 864, 877, KIND_U8, 0);             // relay switches and alternatives
    AddAnalogOutput(table, 880, 2);
    AddAnalogOutput(table, 887, 2);
    AddRange(table, 896, 899, KIND_U8, 0);             // binary constants
    for (int code = 912; code <= 915; ++code) Add(table, code, KIND_DECIMAL, PackDecimal(0, 2));
    AddAnalogOutput(table, 920, 4);
    AddAnalogOutput(table, 932, 4);
    return table;
}

ParamTable ParamTable::Synthetic(int count) {
    static const uint8_t kTypes[] = {KIND_U8, KIND_U16, KIND_U32, KIND_DECIMAL, KIND_U8 | SIGNED_FLAG,
                                     KIND_U16 | SIGNED_FLAG};
    ParamTable table;
    for (int i = 0; i < count; ++i) {
        uint8_t type = kTypes[i % 6];
        uint32_t value = (type & 7) == KIND_DECIMAL ? PackDecimal(i, 1) : static_cast<uint32_t>(i * 7);
        Add(table, i + 1, type, value);
    }
    return table;
}

}  // namespace sim
