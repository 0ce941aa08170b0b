// Line building and checking for the panel simulator.
//
// The panel's lines are pairs of hex digits. Requests carry their parameters without separators;
// replies and pushed reports carry ':'-separated fields. Every line ends in a checksum pair chosen
// so that the 8-bit sum of all pairs on the line is 0, then CR LF.
//
// Written independently of the program's own protocol code so that tests compare two
// implementations of the same wire format.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// Lower-case hex of the low `digits` nibbles of value, zero-padded ("%0*x").
std::string Hex(uint32_t value, int digits);

bool IsHexDigit(char c);
int HexValue(char c);  // 0-15, or -1 for a non-hex character

// 8-bit sum of the hex pairs in text. Characters that are not hex digits (':' in replies) are
// skipped one by one; a hex digit without a hex partner makes the result -1.
int PairSum(const std::string& text);

// Appends ":" + checksum + CR LF to a reply or report head-and-fields text such as
// "020a01:0352:000305".
std::string FinishFieldLine(const std::string& text);

// Builds a whole reply or report line: kind, code, sequence, then ":"-fields and the checksum.
std::string BuildFieldLine(uint8_t kind, uint8_t code, uint8_t sequence, const std::vector<std::string>& fields);

// Appends the checksum pair (no ':') and CR LF to a request text such as "020a01".
std::string FinishRequestLine(const std::string& text);

}  // namespace sim
