#include "regulators/DlgRInfoChng.h"

#include "comm/ParamValue.h"
#include "widgets/SourceLists.h"

DlgRInfoChng::DlgRInfoChng(wxWindow* parent, const wxString& title, ParamValue** items,
                           const char* const* optionList, long style, wxWindowID id)
    : ConfigDialog(parent, title, wxString::FromUTF8("Regulator"), style, id) {
    results[0] = items[0]->GetU8();
    results[1] = items[1]->GetU8();
    AddRow(wxString::FromUTF8("Opcja"), MakeList(SourceListItems(optionList), results[0], &results[0]));
    // A regulator's process variable 0 is "zero", not the displays' "auto".
    std::vector<wxString> sources = SourceListItems(DisplaySourceList);
    sources[0] = wxString::FromUTF8("0 - zero");
    AddRow(wxString::FromUTF8("Zmienna PV"), MakeList(sources, results[1], &results[1]));
    FinishLayout();
}
