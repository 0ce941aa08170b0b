// The simulated panel's parameter store and its parameter list.
//
// Each parameter has a code, a type byte (low 3 bits the kind: 1 8-bit, 2 16-bit, 3 packed
// decimal, 4 32-bit; bit 7 marks a signed value), its value, an attribute byte and two fault flags.
// The list order is what the list-enumeration request walks: one entry per list index, either a
// parameter code or kEmptyListIndex for an index the panel reports as "skip"; indexes past the
// end report "end of list".
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace sim {

enum SimKind : uint8_t { KIND_U8 = 1, KIND_U16 = 2, KIND_DECIMAL = 3, KIND_U32 = 4 };
constexpr uint8_t SIGNED_FLAG = 0x80;

struct SimParam {
    uint16_t code = 0;
    uint8_t type = KIND_U8;
    uint32_t value = 0;  // the decimal kind holds the 24-bit packed form: mantissa << 8 | decimals
    uint8_t attribute = 0;
    bool refused = false;    // writes are refused; reads answer without a value (3 fields)
    bool dataError = false;  // reads answer without a value, attribute bits 3-5 = 4 (damaged data)
    bool readOnly = false;   // reads answer normally; writes are refused
};

constexpr int kEmptyListIndex = -1;

// Hex digits of a value of this type on the wire: 2, 4, 6 or 8; 0 for an unknown kind.
int ValueDigits(uint8_t type);
// Masks a value to the width of its type.
uint32_t FitValue(uint8_t type, uint32_t value);
// 24-bit packed decimal: the 16-bit two's-complement mantissa above the count of decimals.
uint32_t PackDecimal(int mantissa, unsigned decimals);

class ParamTable {
public:
    // Adds or replaces a parameter; a new code is also appended to the list order.
    void Set(const SimParam& param);
    // Changes the value of a known code (masked to its width); false when the code is unknown.
    bool SetValue(uint16_t code, uint32_t value);
    const SimParam* Find(uint16_t code) const;
    SimParam* Find(uint16_t code);
    size_t Size() const { return params_.size(); }

    void SetListOrder(std::vector<int> order) { listOrder_ = std::move(order); }
    const std::vector<int>& ListOrder() const { return listOrder_; }

    // A QM-352A-like set: display and indicator sources, calibration, user variables, the input
    // configuration 204..210 (204 = 1, thermometer board), regulator types 211..214 (1, 2, 3, 0)
    // and their parameter blocks, relays, logic gates, analog outputs and constants; the list holds
    // two empty indexes.
    static ParamTable DefaultQm352();
    // `count` parameters with codes 1..count, kinds cycling through 8-, 16-, 32-bit, decimal and
    // signed variants, listed in code order: a large table for benchmarks.
    static ParamTable Synthetic(int count);

private:
    std::map<uint16_t, SimParam> params_;
    std::vector<int> listOrder_;
};

}  // namespace sim
