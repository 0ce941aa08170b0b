#include "dialogs/DlgNZoneInp.h"

#include "comm/ParamValue.h"
#include "widgets/SourceLists.h"

DlgNZoneInp::DlgNZoneInp(wxWindow* parent, const wxString& title, ParamValue* record, long style, wxWindowID id)
    : ConfigDialog(parent, title, wxString::FromUTF8("Zmienna przełączająca"), style, id) {
    result = record->GetU8();
    AddRow(wxString(), MakeList(SourceListItems(BinarySourceList), result, &result), false);
    FinishLayout();
}
