// The editors of the panel areas that are lists of like records (logic gates, relay outputs,
// analog outputs). The dialog lists the records and talks to the panel record by record while
// it is open: selecting an entry reads that record at once (through the owner's read callback),
// "Zapisz" writes it back (through the write callback). Unsaved edits are never dropped
// silently: leaving the entry, pressing OK or closing the window asks "Nie zapisane!" first.
//
// State: the current entry (-1 until one is chosen), valid (the current record was read) and
// modified (the user changed a control since the read or the last write). Record controls are
// enabled only while valid, "Zapisz" only while modified. Nothing is read or written without a
// valid entry.
//
// A derived editor builds its controls into Box() and the row of the list, then calls
// FinishEditorLayout; it reads and fills in ReadEntry, writes in WriteEntry and routes its
// controls' change events to OnEntryChanged.
#pragma once

#include <wx/button.h>
#include <wx/listbox.h>

#include <cstdint>

#include "dialogs/ConfigDialog.h"
#include "dialogs/LiveEditorOwner.h"

class ParamRecords;
struct ParamValue;

// Reads record index of the area into values (new records that the caller deletes); 0 on
// success, -1 on failure (values then all null).
using ReadRecordFn = int (*)(LiveEditorOwner* owner, int index, ParamValue** values);
// Writes the bytes of record index; 0 / -1.
using WriteRecordFn = int (*)(LiveEditorOwner* owner, int index, const uint8_t* record);
// Writes an analog output or multiplexer: three sources in record order, the normalisation
// decimals in parameter order (2 for an output, 4 for a multiplexer) and the two limits.
using WriteAnalogOutFn = int (*)(LiveEditorOwner* owner, int index, const uint8_t* sources, const DecimalValue* values,
                                 const int16_t* limits);

class LiveEditor : public ConfigDialog {
public:
    ~LiveEditor() override;

    int GetCurrentEntry() const { return current; }
    bool IsEntryValid() const { return valid; }
    bool IsEntryModified() const { return modified; }

protected:
    // entries: the list's item texts, one per record; read: the owner's read callback.
    LiveEditor(LiveEditorOwner* owner, const wxString& title, const wxString& caption, const wxArrayString& entries,
               ReadRecordFn read, long style, wxWindowID id);

    LiveEditorOwner* Owner() const { return owner; }
    // Reads record index through the read callback; true when its first count values arrived.
    bool ReadRecord(int index, ParamRecords& values, int count);
    wxListBox* List() const { return list; }
    wxButton* SaveButton() const { return saveButton; }
    // The box's row that starts with the list; the editor adds its column to it.
    wxBoxSizer* ListRow() const { return listRow; }
    // A "Zapisz" button row for the editor's column (bottom margin 8 unless margins are given).
    wxBoxSizer* MakeSaveRow(int flags = wxBOTTOM, int border = 8);
    // Binds the handlers, lays the dialog out with OK alone and sets the start state.
    void FinishEditorLayout();

    // The editor's parts.
    // Called when an entry is about to be read (after the save question).
    virtual void EntryChosen(int /*index*/) {}
    // Reads record index and fills the controls; false when the read failed (controls kept).
    virtual bool ReadEntry(int index) = 0;
    // Checks the entries before a write; false after refusing one (the user was told).
    virtual bool ValidateEntries() { return true; }
    // Writes the current record from the controls: the callback's result.
    virtual int WriteEntry() = 0;
    // Enables the record's controls (valid false: all disabled).
    virtual void EnableEntryControls(bool valid) = 0;
    // The save question for the current entry.
    virtual wxString SavePrompt() const = 0;

    // Any change the user makes in a record control.
    void OnEntryChanged(wxCommandEvent& event);
    void UpdateControls();

    // Messages of the editor.
    wxString readErrorText;
    wxString writeErrorText;
    wxString writeErrorCaption;

private:
    void OnSelectEntry(wxCommandEvent& event);
    // A double click; the second click of one may be the user choosing another entry.
    void OnActivateEntry(wxCommandEvent& event);
    // Leaves the current entry (asking first when it has edits) and reads the chosen one.
    void ChooseEntry(int chosen);
    void OnButton(wxCommandEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void OnSave();
    // OK, Escape and closing the window: ends the dialog unless unsaved edits are kept.
    void OnOkCancel();
    // Validates and writes the current record; false when nothing or not all was written.
    bool SaveEntry();
    // 0 go on, -1 stay on the current entry.
    int AskSave();
    void RestoreSelection();

    LiveEditorOwner* owner;
    ReadRecordFn read;
    wxListBox* list = nullptr;
    wxBoxSizer* listRow = nullptr;
    wxButton* saveButton = nullptr;
    int current = -1;
    bool modified = false;
    bool valid = false;
};
