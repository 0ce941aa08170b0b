#include "dialogs/DlgDispConf.h"

#include "comm/ParamValue.h"
#include "widgets/SourceLists.h"

DlgDispConf::DlgDispConf(wxWindow* parent, const wxString& title, ParamValue** records, int version, long style,
                         wxWindowID id)
    : ConfigDialog(parent, title,
                   wxString::FromUTF8(version >= kDisplayAVersion ? "Wyświetlacze" : "Wyświetlacz B"), style, id) {
    const std::vector<wxString> items = SourceListItems(DisplaySourceList);
    const bool hasDisplayA = version >= kDisplayAVersion;
    if (hasDisplayA) {
        resultA = records[1]->GetU8();
        AddRow(wxASCII_STR("A"), MakeList(items, resultA, &resultA));
    }
    resultB = records[0]->GetU8();
    AddRow(hasDisplayA ? wxASCII_STR("B") : wxString(), MakeList(items, resultB, &resultB));
    FinishLayout();
}
