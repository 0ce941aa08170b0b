#include "widgets/jwxCombo.h"

#include "widgets/LayoutHelpers.h"

jwxCombo::jwxCombo(wxWindow* parent, wxWindowID id, int count, const wxString texts[], long style)
    : wxComboBox(parent, id, wxEmptyString, wxDefaultPosition, wxDefaultSize, count, texts, style,
                 wxDefaultValidator, wxASCII_STR("comboBox")) {
    values.reserve(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i) values.push_back(LeadingNumber(texts[i]));
}

jwxCombo::~jwxCombo() = default;

void jwxCombo::AppendItem(const wxString& text) {
    // The codes grow in steps of ten, like the lists they mirror.
    if (values.size() == values.capacity()) values.reserve(values.capacity() + 10);
    values.push_back(LeadingNumber(text));
    Append(text);
}

void jwxCombo::SelectValue(int value) {
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i] == value) {
            SetSelection(static_cast<int>(i));
            return;
        }
    }
    SetSelection(wxNOT_FOUND);
}

int jwxCombo::GetSelectedValue() const {
    int selected = GetSelection();
    if (selected < 0 || values.empty() || selected >= static_cast<int>(values.size())) return -1;
    return values[selected];
}

void jwxCombo::Clear() {
    values.clear();
    values.shrink_to_fit();
    wxComboBox::Clear();
}
