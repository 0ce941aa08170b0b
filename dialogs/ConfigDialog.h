// The frame every configuration dialog shares, and the rules they all follow.
//
// A dialog declares only what is its own: its caption, its rows, how a list or field maps to
// its results. The frame lays the rows out in one captioned box with OK / Cancel below, and on
// OK takes the results: every list made with MakeList stores its code (or, with no selection,
// the code that was read, so a value the list does not know is written back unchanged), then
// the dialog's TakeResults checks and converts its text fields with the shared number rule.
// A field that fails gets the focus with its text selected, the user sees why, and the dialog
// stays open; results count only from an OK that passed every check.
//
//     DlgX::DlgX(...) : ConfigDialog(parent, title, U8("Caption"), style, id) {
//         AddRow(U8("D1"), MakeList(SourceListItems(BinarySourceList), records[0]->GetU8(), &result[0]));
//         FinishLayout();
//     }
#pragma once

#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <vector>

#include "comm/ValueEncoding.h"
#include "widgets/jwxCombo.h"


class ConfigDialog : public wxDialog {
public:
    // The style every edit dialog is made with.
    static constexpr long kStyle = wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER;

    ~ConfigDialog() override;

    // Runs the dialog; afterwards the lists' and choices' results are taken, however it ended.
    int ShowModal() override;
    // Takes the lists' results, then TakeResults; called by the toolkit when OK is pressed.
    bool TransferDataFromWindow() override;

protected:
    ConfigDialog(wxWindow* parent, const wxString& title, const wxString& caption, long style, wxWindowID id);

    // The captioned box that holds the rows.
    wxStaticBoxSizer* Box() const { return box; }
    // A row of a caption and a control that stretches with the row; no caption text when the
    // caption is empty and withCaption is false. Returns the row.
    wxBoxSizer* AddRow(const wxString& caption, wxWindow* control, bool withCaption = true);
    // A row whose content the dialog lays out itself.
    wxBoxSizer* AddCustomRow();
    // A caption made for a custom row; aligned with the other captions by FinishLayout.
    wxStaticText* MakeCaption(const wxString& text);

    // A read-only list over items, preselected with the code read; on OK *result receives the
    // chosen code, or the code read when nothing is selected.
    jwxCombo* MakeList(const std::vector<wxString>& items, int codeRead, int* result);
    // A read-only list over items, nothing selected and no result bound.
    jwxCombo* MakeCombo(const std::vector<wxString>& items);
    // The code a list stands for now: its selection, or the code read when it has none.
    static int ChosenCode(const jwxCombo* list, int codeRead);
    wxTextCtrl* MakeText(const wxString& text, int width = -1);

    // --- Decimal fields: the only way a dialog shows a packed decimal it read. The text shown
    // may round the value (four characters, at most three decimals, four significant digits
    // when parsed back), so a field the user left as shown gives back the value read, bit for
    // bit, instead of its text parsed again.
    enum class DecimalForm {
        READOUT,  // the read-outs' four-character form ("21.50", "1.235")
        STORED,   // every decimal the value carries (at most 3), no padding ("21.5", "-250")
    };
    wxTextCtrl* MakeDecimalText(const DecimalValue& valueRead, int width = -1,
                                DecimalForm form = DecimalForm::READOUT);
    // Shows a (new) value read in a field, as MakeDecimalText does: for fields made before
    // their value is known and for the live editors' next record.
    void ShowDecimal(wxTextCtrl* field, const DecimalValue& valueRead, DecimalForm form = DecimalForm::READOUT);
    // Empties a decimal field; it then holds no value read.
    void ClearDecimal(wxTextCtrl* field);
    // The field's value without refusing anything: the value read while the field is as shown,
    // else its text when that is a plain number, else the value read (0 for an emptied field).
    DecimalValue FieldDecimal(const wxTextCtrl* field) const;

    // Ends the layout: caption widths aligned (when asked and two or more), the spacer that
    // takes extra height, the OK / Cancel row (OK alone without withCancel), fit and centre.
    void FinishLayout(bool alignCaptions = true, bool withCancel = true);

    // --- The number-entry rule, for TakeResults. Each returns false after refusing the field.
    // A plain decimal number; "Błąd zapisu liczby" otherwise.
    bool TakeNumber(wxTextCtrl* field, double* out);
    // The same, then inside [min, max], both ends included; rangeMessage otherwise.
    bool TakeNumberInRange(wxTextCtrl* field, double min, double max, const wxString& rangeMessage, double* out);
    // A plain base-10 integer.
    bool TakeInteger(wxTextCtrl* field, long* out);
    // A plain non-negative number times scale (10 for tenths, 1 for whole units), rounded half
    // up to a count no larger than max. A number that would be stored wrapped or negative is
    // refused with its range in the field's unit ("Błąd zakresu liczby: 0.0 - 25.5").
    bool TakeScaledCount(wxTextCtrl* field, double scale, unsigned long max, unsigned long* out);
    // A decimal field as the panel's packed decimal: the value read while the field is as
    // shown, else its text as a plain decimal number (saturating at the packed form's limits).
    bool TakeDecimalValue(wxTextCtrl* field, DecimalValue* out);
    // TakeDecimalValue over fields in order; out changes only when every field passed.
    bool TakeDecimalValues(wxTextCtrl* const fields[], int count, DecimalValue out[]);
    // Focuses and selects the field, then shows the message with the caption "Błąd".
    void RefuseEntry(wxTextCtrl* field, const wxString& message);

    // Copies what the dialog's other choice controls (radio buttons, check boxes) stand for;
    // runs after the lists took their results, when OK is pressed and once the dialog ended.
    virtual void TakeChoices() {}
    // Checks and converts the dialog's own text fields when OK is pressed; false keeps the
    // dialog open.
    virtual bool TakeResults() { return true; }

private:
    void TakeChoiceResults();

    struct ShownDecimal {
        const wxTextCtrl* field;
        wxString text;
        DecimalValue valueRead;
    };
    // The field's entry; null when it shows no value read.
    const ShownDecimal* FindShownDecimal(const wxTextCtrl* field) const;

    struct ListResult {
        jwxCombo* list;
        int codeRead;
        int* result;
    };

    wxBoxSizer* outer = nullptr;
    wxStaticBoxSizer* box = nullptr;
    std::vector<wxStaticText*> captions;
    std::vector<ListResult> lists;
    std::vector<ShownDecimal> shownDecimals;
};
