// Base of the regulator views (threshold, PID, timed). A view is an event handler, not a window:
// its controls are children of the main window's panel and are owned by its top sizer, which the
// main window places in its "Regulator" box. The main window pushes the view onto its own
// handler chain, so the clicks of the view's buttons (ids 200..203) reach the view first, and
// hands it its channel's pushed status reports.
//
// The base carries everything the three views share: the header rows and their read, the read
// -outs every view has (PV, SP, Inwersja, Strefa, Aktywne, AL, AH, outputs A and B), the zone
// values and the zone rule, the main status and outputs reports, the edit road (read, dialog,
// write, read back) with the header and alarm edits, and the "Algorytm" box's frame side.
//
// A view's constructor builds its rows, every one hidden (the main window shows the view once
// placed), then calls Start(), which reads the header and the values and binds the buttons:
//
//     Reg1::Reg1(wxWindow* parent, PanelClient* client, int index)
//         : RegX(parent, client, index, REG_STATUS_THRESHOLD, ThresholdOptionList) {
//         BuildHeader(U8("1 - progowy"));
//         ... rows made with MakeReadout / MakeButton, each passed to HideRow ...
//         Start();
//     }
#pragma once

#include <wx/event.h>
#include <wx/sizer.h>
#include <wx/string.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

class PanelClient;
struct ParamValue;
class ReplyRecord;
class jwxMiniButt;
class jwxNVUDisp;
class wxStaticText;
class wxWindow;
struct RegulatorReport;

// Sent by a view that built its "Algorytm" box: a command event with the parent window's id,
// the view as event object and the box sizer as client data, processed at once by the parent
// window; it travels up to the main window, which places the box beside the regulator box. Sent
// without a box when the view's texts grew and the window is to refit.
wxDECLARE_EVENT(EVT_REGPANEL_LAYOUT, wxCommandEvent);

class RegX : public wxEvtHandler {
public:
    // Button ids of every view.
    enum ButtonId { ID_HEADER = 200, ID_REGULATION = 201, ID_ALARMS = 202, ID_ALGORITHM = 203 };
    // Space between boxes that stand side by side, so that their frames do not touch.
    static constexpr int kBoxGap = 4;
    // Zone cache order.
    enum ZoneValue { ZONE_SP1, ZONE_SP2, ZONE_AL1, ZONE_AL2, ZONE_AH1, ZONE_AH2, ZONE_VALUE_COUNT };

    // mainStatusCode: the view's main status report (0xA4, 0xA5 or 0xA6); optionList: the option
    // list of the view's type (null for a view without a header).
    RegX(wxWindow* parent, PanelClient* client, int index, int mainStatusCode = 0,
         const char* const* optionList = nullptr);
    // Clears the algorithm box and the top sizer with their windows and deletes them. The main
    // window detaches both from its own sizers first.
    ~RegX() override;

    // A status report of this view's channel. Reports of another kind, code or field count are
    // ignored; the rest are decoded once and handed to OnReport. The record stays the caller's.
    virtual void OnStatus(int kind, int code, const ReplyRecord* record);
    // The view's "Algorytm" box, null while it has none.
    virtual wxSizer* GetAlgorithmBox() const { return m_algorithmBox; }
    // Empties every value that the pushed reports keep up to date (PV, Strefa, the zone's SP, AL
    // and AH, the outputs; a view adds its own), for the time the reports have stopped: values
    // standing still must not look live. Values read from parameters stay. The next reports fill
    // them again, SP, AL and AH with the next main report whatever zone it names.
    virtual void BlankLiveValues();

    wxBoxSizer* GetTopSizer() const { return m_topSizer; }
    int GetIndex() const { return m_index; }
    // -1 until the first main status report, then 0 (zone 1) or 1 (zone 2).
    int GetZone() const { return m_zone; }
    // "Regulator #n" with n = index + 1: the title of the view's box and dialogs.
    wxString Title() const;

    // --- Read-outs, for the main window's tests and the views (null when the view has none) ---
    jwxNVUDisp* PvReadout() const { return m_pv; }
    jwxNVUDisp* SpReadout() const { return m_sp; }
    jwxNVUDisp* AlReadout() const { return m_al; }
    jwxNVUDisp* AhReadout() const { return m_ah; }
    jwxNVUDisp* ZoneReadout() const { return m_zoneReadout; }
    jwxNVUDisp* InversionReadout() const { return m_inversion; }
    jwxNVUDisp* AlarmEnableReadout() const { return m_alarmEnable; }
    jwxNVUDisp* OutputReadout(int output) const { return output == 0 ? m_outA : m_outB; }
    wxStaticText* OptionText() const { return m_optionText; }
    wxStaticText* PvVariableText() const { return m_pvText; }
    double ZoneValueCache(int which) const { return m_zoneValues[which]; }

protected:
    // The panel is connected and takes requests.
    bool LinkUp() const;

    // --- Parameters of the channel ---
    uint16_t ParamCode(int offset) const;
    std::vector<uint16_t> ParamCodes(std::initializer_list<int> offsets) const;

    // --- Building (every control on the parent window) ---
    // Creates the top sizer and the three header rows: "Typ:" with the fixed type text and the
    // header button (id 200), "Opcja:" and "Zmienna PV:".
    void BuildHeader(const wxString& typeText);
    // A read-out with an empty unit part (unless unitSample is given) showing its sample text
    // until a value arrives.
    jwxNVUDisp* MakeReadout(const wxString& caption, const wxString& sample, bool centred = false,
                            const wxString& unitSample = wxEmptyString);
    // A "Zmiana..." / "Algorytm >" button with the view's id.
    jwxMiniButt* MakeButton(int id, const wxString& text);
    // Makes the shared read-outs; a view places them in its own boxes.
    void MakePvSp();                   // "PV", "SP"
    void MakeInversionZone();          // "Inwersja", "Strefa"
    // The "Alarmy" box with "Aktywne", "AL" and "AH" and the alarm button (id 202), in the box
    // (under the read-outs) or beside it; returns the row holding it, already in the top sizer.
    wxBoxSizer* BuildAlarmRow(bool buttonInBox);
    // The "Wyjścia" box with outputs A and B; with the algorithm button (id 203) beside it in a
    // full-width row. Added to the top sizer.
    wxSizer* BuildOutputsRow(bool withAlgorithmButton);
    // Hides a row or box right after it is filled: the whole view is built invisible.
    static void HideRow(wxSizer* row);
    // Reads the header and the values and binds the buttons; the end of every view's constructor.
    void Start();

    // --- Reading ---
    // Reads PV_VAR and OPTION and shows their names.
    void ReadHeader();
    // Reads the view's values; leaves PV, SP, AL, AH and Strefa alone.
    virtual void ReadValues() {}
    // SP, AL and AH from the zone cache: zone 2 unless the zone is 0 (so also before the first
    // report). Nothing while the live values are blank: the zone is then not known.
    void ShowZoneValues();
    // Shows "Inwersja" ("T" / "N") and "Aktywne" ("H+L", "H", "L", "-").
    void ShowInversion(const ParamValue* item);
    void ShowAlarmEnable(const ParamValue* item);
    // Stores the six zone values, in the order of ZoneValue.
    void StoreZoneValues(ParamValue* const items[ZONE_VALUE_COUNT]);
    // Sets a read-out to a decimal parameter, four digits wide.
    static void ShowDecimal(jwxNVUDisp* readout, const ParamValue* item);

    // --- Status ---
    // The decoded report; the base shows the main status and outputs reports. Views with reports
    // of their own override it and call the base.
    virtual void OnReport(const RegulatorReport& report);

    // --- Editing ---
    enum Reread { REREAD_HEADER, REREAD_VALUES };
    // The edit road: reads the offsets ("Błąd odczytu" and nothing more when that fails), runs
    // edit on the records; when edit returns true (confirmed, results stored with each record's
    // setter) writes them all ("Błąd zapisu" on a refusal or a lost link) and, whatever the write
    // gave, reads back the header or the values and zone values, unless the link is gone. Records
    // are freed on every road.
    void RunEdit(std::initializer_list<int> offsets, Reread reread, const std::function<bool(ParamValue**)>& edit);
    // Button handlers. The header and alarm edits are the same in every view; the regulation
    // edit (201) and the algorithm box (203) are each view's own.
    virtual void OnChangeHeader();
    virtual void OnChangeRegulation() {}
    virtual void OnChangeAlarms();
    virtual void OnAlgorithm() {}

    // --- Algorithm box ---
    // Hides the algorithm button and creates the empty "Algorytm" box (once; null when it exists).
    wxStaticBoxSizer* CreateAlgorithmBox();
    // Hands the filled box to the main window (EVT_REGPANEL_LAYOUT).
    void AnnounceAlgorithmBox();

    wxWindow* m_parent;
    PanelClient* m_client;
    wxBoxSizer* m_topSizer = nullptr;
    int m_index;
    int m_zone = -1;
    // Set by BlankLiveValues until the next main status report.
    bool m_liveBlank = false;
    int m_mainStatusCode;
    const char* const* m_optionList;

    wxStaticText* m_typeText = nullptr;
    wxStaticText* m_optionText = nullptr;
    wxStaticText* m_pvText = nullptr;
    jwxMiniButt* m_headerButton = nullptr;
    jwxMiniButt* m_regulationButton = nullptr;
    jwxMiniButt* m_alarmButton = nullptr;
    jwxMiniButt* m_algorithmButton = nullptr;

    jwxNVUDisp* m_pv = nullptr;
    jwxNVUDisp* m_sp = nullptr;
    jwxNVUDisp* m_inversion = nullptr;
    jwxNVUDisp* m_zoneReadout = nullptr;
    jwxNVUDisp* m_alarmEnable = nullptr;
    jwxNVUDisp* m_al = nullptr;
    jwxNVUDisp* m_ah = nullptr;
    jwxNVUDisp* m_outA = nullptr;
    jwxNVUDisp* m_outB = nullptr;

    wxStaticBoxSizer* m_algorithmBox = nullptr;
    // Zero until the first read, so a failed read never shows undefined numbers.
    double m_zoneValues[ZONE_VALUE_COUNT] = {};

private:
    void OnButton(wxCommandEvent& event);
};
