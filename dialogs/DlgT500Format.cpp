#include "dialogs/DlgT500Format.h"

#include "comm/ParamValue.h"

std::vector<wxString> DlgT500Format::FormatItems() {
    static const char* const kFormats[] = {
        "0 - Format V1 - QM-836",
        "1 - Format V2, typ 07 - QM-352",
        "2 - Format V2, typ 17 - QM-836A",
        "3 - Format V2, typ 19 - QM-839",
        "4 - Format V2, typ 1A - QM-839A",
        "5 - Retransmisja z wejścia T500 #0",
        "6 - Retransmisja z wejścia T500 #1",
    };
    std::vector<wxString> items;
    for (const char* text : kFormats) items.push_back(wxString::FromUTF8(text));
    return items;
}

DlgT500Format::DlgT500Format(wxWindow* parent, const wxString& title, ParamValue* record, long style, wxWindowID id)
    : ConfigDialog(parent, title, wxString::FromUTF8("Format wy T500"), style, id) {
    result = record->GetU8();
    AddRow(wxString(), MakeList(FormatItems(), result, &result), false);
    FinishLayout();
}
