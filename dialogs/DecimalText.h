// The text a dialog starts a packed-decimal field with: the value with as many decimals as it
// carries (at most 3), no padding, always with '.'.
#pragma once

#include <wx/string.h>

#include "comm/ValueEncoding.h"

wxString DecimalText(const DecimalValue& value);
