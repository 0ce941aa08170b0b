#include "dialogs/DlgNZoneRng.h"

#include <algorithm>

#include "comm/ParamValue.h"

namespace {
wxString TwoDigits(unsigned value) { return wxString::Format(wxASCII_STR("%02u"), value); }
}  // namespace

DlgNZoneRng::DlgNZoneRng(wxWindow* parent, const wxString& title, ParamValue** records, long style, wxWindowID id)
    : ConfigDialog(parent, title, wxString::FromUTF8("Przedział nocny"), style, id) {
    // The row's fields are narrow, but GTK pads an entry on both sides: two digits must still show.
    const int fieldWidth = std::max(30, GetTextExtent(wxASCII_STR("000")).x + 24);
    wxBoxSizer* row = AddCustomRow();
    static const char* const kEndCaptions[] = {"Od", "Do"};
    for (int end = 0; end < 2; ++end) {
        const unsigned slot = records[end]->GetU8();
        results[end] = static_cast<uint8_t>(slot);
        texts[2 * end] = MakeText(TwoDigits(slot / 6), fieldWidth);
        texts[2 * end + 1] = MakeText(TwoDigits(slot % 6 * 10), fieldWidth);
        row->Add(new wxStaticText(this, wxID_ANY, wxASCII_STR(kEndCaptions[end])), 0,
                 wxALIGN_CENTER_VERTICAL | wxALL, 5);
        row->Add(texts[2 * end], 1, wxALIGN_CENTER_VERTICAL | wxALL, 3);
        row->Add(new wxStaticText(this, wxID_ANY, wxASCII_STR(":")), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
        row->Add(texts[2 * end + 1], 1, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    }
    FinishLayout(false);
}

bool DlgNZoneRng::TakeResults() {
    long numbers[4] = {};
    for (int i = 0; i < 4; ++i)
        if (!TakeInteger(texts[i], &numbers[i])) return false;
    const wxString rangeMessage =
        wxString::FromUTF8("Należy podać godzinę w zakresie 00:00 .. 23:50\nz rozdzielczością 10 min");
    for (int end = 0; end < 2; ++end) {
        const long hour = numbers[2 * end];
        const long minute = numbers[2 * end + 1];
        if (hour < 0 || hour > 23) {
            RefuseEntry(texts[2 * end], rangeMessage);
            return false;
        }
        if (minute < 0 || minute > 50 || minute % 10 != 0) {
            RefuseEntry(texts[2 * end + 1], rangeMessage);
            return false;
        }
    }
    for (int end = 0; end < 2; ++end)
        results[end] = static_cast<uint8_t>(numbers[2 * end] * 6 + numbers[2 * end + 1] / 10);
    return true;
}
