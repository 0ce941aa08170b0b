#include "dialogs/DecimalText.h"

wxString DecimalText(const DecimalValue& value) {
    char buffer[kDecimalTextSize];
    return wxString::FromAscii(decimal_format(0, value, buffer));
}
