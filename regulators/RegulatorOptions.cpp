#include "regulators/RegulatorOptions.h"

#include "widgets/LayoutHelpers.h"

const char* const ThresholdOptionList[] = {
    "0 - jedno urządzenie wykonawcze",
    "1 - jedno urządzenie dwustopniowe",
    "2 - dwa urządzenia wykonawcze",
    nullptr,
};

const char* const PidOptionList[] = {
    "0 - wyjście trójstawne",
    "1 - przekaźnikowe PWM",
    "2 - wyjście analogowe",
    nullptr,
};

const char* const TimedOptionList[] = {
    "0 - generator PWM",
    "1 - opóźnienie wł/wył",
    "2 - wyzwolenie impulsu",
    "3 - wyzwolenie impulsu z restartem",
    nullptr,
};

wxString OptionName(const char* const list[], int code) {
    const int index = FindNumberIndex(code, list);
    return wxString::FromUTF8(list[index < 0 ? 0 : index]);
}
