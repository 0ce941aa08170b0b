// The order in which port names are listed.
#pragma once

#include <string>

// The order of port names: negative when a sorts before b, 0 for a tie, positive otherwise.
//  1. COM names: "COM" (upper case) followed by nothing but a non-empty run of digits, by number.
//  2. Other numbered names: ASCII letters followed by nothing but a non-empty run of digits
//     (ttyS2, ttyUSB10), by letter prefix as bytes and then by number.
//  3. Every other name, as byte strings.
// A name of a lower class sorts before any name of a higher one. Numbered names with equal
// numbers (COM3, COM03) fall back to bytes, so only identical names tie.
int ComparePortNames(const std::string& a, const std::string& b);
