// The one parser for every number a user types into a dialog. A text passes only as a plain
// decimal number: optional blanks around it, an optional sign, digits with at most one '.'
// among them, and at least one digit. Exponents, hex, "nan", "inf", commas and empty texts are
// refused, so a value that passed is always finite and is exactly the value that is converted.
#pragma once

#include <wx/string.h>

#include "comm/ValueEncoding.h"

// A plain decimal number; false (out untouched) for any other text.
bool ParseDecimalText(const wxString& text, double* out);
// A plain base-10 integer (no point) that fits a long; false otherwise.
bool ParseIntegerText(const wxString& text, long* out);
// A plain decimal number converted to the panel's packed decimal: the digits after the point
// (at most 3) set the decimals and the value saturates at the packed form's limits.
bool ParseDecimalValueText(const wxString& text, DecimalValue* out);

// Whole number nearest to value with halves away from zero, as the panel's fields store tenths,
// hundredths and thousandths: trunc(v + 0.5) for v >= 0, trunc(v - 0.4999) below.
long RoundHalfAway(double value);
