#include "dialogs/DlgDispLEDs.h"

#include "comm/ParamValue.h"
#include "widgets/SourceLists.h"

DlgDispLEDs::DlgDispLEDs(wxWindow* parent, const wxString& title, ParamValue** records, long style, wxWindowID id)
    : ConfigDialog(parent, title, wxString::FromUTF8("Kontrolki"), style, id) {
    const std::vector<wxString> items = SourceListItems(BinarySourceList);
    static const char* const kRows[] = {"D1", "D2"};
    for (int i = 0; i < 2; ++i) {
        results[i] = records[i]->GetU8();
        AddRow(wxASCII_STR(kRows[i]), MakeList(items, results[i], &results[i]));
    }
    FinishLayout();
}
