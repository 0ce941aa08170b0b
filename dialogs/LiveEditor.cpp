#include "dialogs/LiveEditor.h"

#include "dialogs/ConfigCommand.h"
#include "widgets/MesgBox.h"
#include "widgets/WaitWindow.h"

namespace {
wxString U8(const char* text) { return wxString::FromUTF8(text); }
constexpr long kErrorStyle = wxOK | wxICON_EXCLAMATION;
}  // namespace

LiveEditor::LiveEditor(LiveEditorOwner* owner, const wxString& title, const wxString& caption,
                       const wxArrayString& entries, ReadRecordFn read, long style, wxWindowID id)
    : ConfigDialog(owner->EditorParent(), title, caption, style, id), owner(owner), read(read) {
    readErrorText = U8("Błąd odczytu");
    writeErrorText = U8("Błąd zapisu danych");
    list = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, entries);
    list->SetMinSize(list->GetBestSize() + wxSize(10, 15));
    listRow = AddCustomRow();
    listRow->Add(list, 0, wxRIGHT, 10);
}

LiveEditor::~LiveEditor() = default;

bool LiveEditor::ReadRecord(int index, ParamRecords& values, int count) {
    if (count > values.Count() || read(owner, index, values.Data()) < 0) return false;
    for (int i = 0; i < count; ++i)
        if (!values[i]) return false;
    return true;
}

wxBoxSizer* LiveEditor::MakeSaveRow(int flags, int border) {
    saveButton = new wxButton(this, wxID_APPLY, U8("Zapisz"));
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(saveButton, 0, flags, border);
    return row;
}

void LiveEditor::FinishEditorLayout() {
    FinishLayout(false, false);
    // A GTK list that takes the focus first selects its first row, which would read that
    // record as soon as the dialog appears: the editor opens with OK focused and nothing chosen.
    FindWindow(wxID_OK)->SetFocus();
    Bind(wxEVT_LISTBOX, &LiveEditor::OnSelectEntry, this);
    Bind(wxEVT_LISTBOX_DCLICK, &LiveEditor::OnActivateEntry, this);
    Bind(wxEVT_BUTTON, &LiveEditor::OnButton, this);
    Bind(wxEVT_CLOSE_WINDOW, &LiveEditor::OnCloseWindow, this);
    UpdateControls();
}

void LiveEditor::UpdateControls() {
    list->Enable();
    EnableEntryControls(valid);
    if (saveButton) saveButton->Enable(modified);
}

void LiveEditor::OnEntryChanged(wxCommandEvent&) {
    // Only the user changes an enabled control; filling the controls after a read does not count.
    if (current < 0 || !valid) return;
    modified = true;
    UpdateControls();
}

void LiveEditor::RestoreSelection() { list->SetSelection(current >= 0 ? current : wxNOT_FOUND); }

void LiveEditor::OnSelectEntry(wxCommandEvent&) { ChooseEntry(list->GetSelection()); }

void LiveEditor::OnActivateEntry(wxCommandEvent& event) {
    // The toolkit takes a second click on an entry soon after a first one at the same spot for
    // a double click: it activates the entry without selecting it. After "Anuluj" put the
    // selection back, such a click on the other entry is still the user choosing it.
    const int activated = event.GetInt();
    if (activated < 0 || activated == current || activated == list->GetSelection()) return;
    list->SetSelection(activated);
    ChooseEntry(activated);
}

void LiveEditor::ChooseEntry(int chosen) {
    if (chosen < 0 || chosen >= static_cast<int>(list->GetCount())) {
        // No entry chosen (a list can report a cleared selection): nothing to read.
        RestoreSelection();
        return;
    }
    if (chosen == current) return;
    if (modified && AskSave() < 0) {
        RestoreSelection();
        UpdateControls();
        return;
    }
    modified = false;
    current = chosen;
    EntryChosen(chosen);
    bool read = false;
    {
        WaitWindow wait(this, U8("Odczyt"), U8("Czekajka"));
        read = ReadEntry(chosen);
    }
    valid = read;
    if (!read) MesgBox(this, readErrorText, wxString(), kErrorStyle);
    modified = false;  // filling the controls may have reported changes
    UpdateControls();
}

bool LiveEditor::SaveEntry() {
    if (current < 0 || !valid) return false;
    if (!ValidateEntries()) return false;
    int result = -1;
    {
        WaitWindow wait(this, U8("Zapis"), U8("Czekajka"));
        result = WriteEntry();
    }
    if (result >= 0) return true;
    MesgBox(this, writeErrorText, writeErrorCaption, kErrorStyle);
    return false;
}

void LiveEditor::OnSave() {
    if (!modified || !SaveEntry()) return;
    modified = false;
    UpdateControls();
}

int LiveEditor::AskSave() {
    MesgBox question(this, SavePrompt(), U8("Nie zapisane!"), wxYES_NO | wxCANCEL | wxICON_QUESTION);
    switch (question.GetResult()) {
    case wxID_NO: return 0;
    case wxID_YES: return SaveEntry() ? 0 : -1;
    default: return -1;
    }
}

void LiveEditor::OnOkCancel() {
    if (!modified || AskSave() == 0) {
        EndModal(wxID_OK);
        return;
    }
    RestoreSelection();
    UpdateControls();
}

void LiveEditor::OnButton(wxCommandEvent& event) {
    switch (event.GetId()) {
    case wxID_APPLY: OnSave(); break;
    case wxID_OK:
    case wxID_CANCEL: OnOkCancel(); break;
    default: event.Skip();
    }
}

void LiveEditor::OnCloseWindow(wxCloseEvent&) {
    // The window has no Cancel button, so the toolkit would end it without asking.
    OnOkCancel();
}
