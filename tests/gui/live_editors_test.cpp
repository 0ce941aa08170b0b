// The live editors end to end: the real main window against the simulated panel, each editor
// reading a record the moment it is chosen and writing it back on "Zapisz", the save question
// on leaving unsaved edits, and the drawn switch symbol.
#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/image.h>
#include <wx/listbox.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include <functional>
#include <string>
#include <vector>

#include "app/FrameIds.h"
#include "comm/ParamValue.h"
#include "dialogs/DlgAnalogOut.h"
#include "dialogs/LiveEditor.h"
#include "dialogs/SwitchSymbol.h"
#include "support/core_EventWait.h"
#include "support/gui_ConfigFixture.h"
#include "support/gui_ModalAnswer.h"
#include "support/gui_ScreenWait.h"

namespace {

std::string Utf8(const wxString& text) { return text.utf8_string(); }
using Codes = std::vector<uint16_t>;

template <class Control>
std::vector<Control*> Children(wxDialog* dialog) { return ConfigFixture::ChildrenOf<Control>(dialog); }

wxListBox* EntryList(wxDialog* dialog) { return Children<wxListBox>(dialog).at(0); }

// Chooses list entry index as the user would; wxNOT_FOUND clears the selection.
void Choose(wxDialog* dialog, int index) {
    wxListBox* list = EntryList(dialog);
    list->SetSelection(index);
    wxCommandEvent chosen(wxEVT_LISTBOX, list->GetId());
    chosen.SetEventObject(list);
    chosen.SetInt(index);
    list->GetEventHandler()->ProcessEvent(chosen);
}

// Clicks the middle of list entry index through the X server, as the user does: the toolkit's
// own click handling runs, not only the editor's.
void ClickEntry(wxDialog* dialog, int index) {
    wxListBox* list = EntryList(dialog);
    const int height = list->GetClientSize().y;
    int top = -1, bottom = -1;
    for (int y = 0; y < height; ++y) {
        if (list->HitTest(wxPoint(10, y)) != index) continue;
        if (top < 0) top = y;
        bottom = y;
    }
    ASSERT_GE(top, 0) << "entry " << index << " is not in sight";
    wxUIActionSimulator mouse;
    mouse.MouseMove(list->ClientToScreen(wxPoint(10, (top + bottom) / 2)));
    mouse.MouseClick();
}

void Toggle(wxCheckBox* box) {
    box->SetValue(!box->GetValue());
    wxCommandEvent clicked(wxEVT_CHECKBOX, box->GetId());
    clicked.SetEventObject(box);
    clicked.SetInt(box->GetValue());
    box->GetEventHandler()->ProcessEvent(clicked);
}

// Types into a field (its change event marks the record modified).
void Type(wxTextCtrl* field, const char* text) { field->SetValue(wxString::FromUTF8(text)); }

void Save(wxDialog* dialog) { ModalAnswer::Click(dialog, wxID_APPLY); }

bool SaveEnabled(wxDialog* dialog) { return dialog->FindWindow(wxID_APPLY)->IsEnabled(); }

LiveEditor* Editor(wxDialog* dialog) { return dynamic_cast<LiveEditor*>(dialog); }

std::vector<std::string> Messages(const ModalAnswer& answer) {
    std::vector<std::string> messages;
    for (const ModalDialogRecord& record : answer.Records())
        if (!record.message.empty()) messages.push_back(Utf8(record.message));
    return messages;
}

// The output caption beside the switch symbol.
std::string OutputCaption(wxDialog* dialog) {
    for (wxStaticText* text : Children<wxStaticText>(dialog)) {
        const std::string label = Utf8(text->GetLabel());
        if (label.rfind("Wy ", 0) == 0 || label.rfind("Mux ", 0) == 0) return label;
    }
    return "";
}

uint32_t Packed(int mantissa, unsigned decimals) { return sim::PackDecimal(mantissa, decimals); }
uint32_t S16(int value) { return static_cast<uint16_t>(value); }

const char kGateQuestion[] = "Zmiany w konfiguracji bramki Br#3 nie zostały zapisane.\nZapisać?";

using LiveEditorTest = ConfigFixture;

TEST_F(LiveEditorTest, GateIsReadWhenChosenAndWrittenBackWithZapisz) {
    Connect();
    Modify(774, [](sim::SimParam& p) { p.value = 101; });
    Modify(776, [](sim::SimParam& p) { p.value = 0xFD; });  // bits 4-7 are not the gate's
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        // Nothing chosen: every record control and "Zapisz" disabled, nothing read.
        EXPECT_EQ(EntryList(dialog)->GetCount(), 16u);
        EXPECT_EQ(EntryList(dialog)->GetSelection(), wxNOT_FOUND);
        for (jwxCombo* list : Lists(dialog)) EXPECT_FALSE(list->IsEnabled());
        EXPECT_FALSE(SaveEnabled(dialog));
        EXPECT_TRUE(Reads().empty());

        Choose(dialog, 2);
        EXPECT_EQ(Reads(), (Codes{774, 775, 776}));
        std::vector<wxCheckBox*> negated = Children<wxCheckBox>(dialog);
        EXPECT_TRUE(negated[0]->GetValue());
        EXPECT_FALSE(negated[1]->GetValue());
        EXPECT_TRUE(negated[2]->GetValue());
        EXPECT_TRUE(Children<wxRadioButton>(dialog)[1]->GetValue());  // XOR
        EXPECT_EQ(Lists(dialog)[0]->GetSelectedValue(), 101);
        EXPECT_TRUE(negated[0]->IsEnabled());
        EXPECT_FALSE(SaveEnabled(dialog));

        Toggle(negated[1]);
        EXPECT_TRUE(SaveEnabled(dialog));
        Save(dialog);
        EXPECT_FALSE(SaveEnabled(dialog));
        ModalAnswer::Click(dialog, wxID_OK);  // saved: no question
        return wxID_NONE;
    });
    RunMenu(ID_LOGIC_CONF);
    EXPECT_EQ(answer.Records().size(), 1u);
    EXPECT_EQ(Utf8(answer.Records()[0].title), "Bramki logiczne");
    EXPECT_EQ(answer.Records()[0].owner, static_cast<wxWindow*>(frame));  // shown over the main window
    EXPECT_EQ(Writes(), (WriteList{{774, 101}, {775, 0}, {776, 0x0F}}));
    EXPECT_EQ(Stored(776), 0x0Fu);
}

// Leaving an edited gate asks first: Cancel stays with the edits, No drops them, Yes writes and
// moves on, a failed write stays on the edited gate. OK and closing ask the same way.
TEST_F(LiveEditorTest, SaveQuestionAnswers) {
    Connect();
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        LiveEditor* editor = Editor(dialog);
        Choose(dialog, 2);
        Toggle(Children<wxCheckBox>(dialog)[0]);
        panel.ClearRequests();

        Choose(dialog, 3);  // Cancel
        EXPECT_EQ(EntryList(dialog)->GetSelection(), 2);
        EXPECT_EQ(editor->GetCurrentEntry(), 2);
        EXPECT_TRUE(editor->IsEntryModified());
        EXPECT_TRUE(SaveEnabled(dialog));
        EXPECT_TRUE(Reads().empty());

        Choose(dialog, 3);  // No
        EXPECT_EQ(editor->GetCurrentEntry(), 3);
        EXPECT_EQ(Reads(), (Codes{777, 778, 779}));
        EXPECT_TRUE(Writes().empty());

        Toggle(Children<wxCheckBox>(dialog)[2]);
        panel.ClearRequests();
        Choose(dialog, 4);  // Yes
        EXPECT_EQ(Writes(), (WriteList{{777, 0}, {778, 0}, {779, 4}}));
        EXPECT_EQ(Reads(), (Codes{780, 781, 782}));
        EXPECT_EQ(editor->GetCurrentEntry(), 4);

        Toggle(Children<wxCheckBox>(dialog)[2]);
        Modify(782, [](sim::SimParam& p) { p.readOnly = true; });
        panel.ClearRequests();
        Choose(dialog, 5);  // Yes, and the write is refused
        EXPECT_EQ(EntryList(dialog)->GetSelection(), 4);
        EXPECT_EQ(editor->GetCurrentEntry(), 4);
        EXPECT_TRUE(editor->IsEntryModified());
        EXPECT_TRUE(Reads().empty());

        ModalAnswer::Click(dialog, wxID_OK);  // Cancel: stays open
        EXPECT_TRUE(dialog->IsModal());
        dialog->Close();  // No: ends
        return wxID_NONE;
    });
    answer.Expect(wxID_CANCEL).Expect(wxID_NO).Expect(wxID_YES).Expect(wxID_YES).Expect(wxID_OK);
    answer.Expect(wxID_CANCEL).Expect(wxID_NO);
    RunMenu(ID_LOGIC_CONF);
    EXPECT_EQ(answer.PendingAnswers(), 0u);
    const std::vector<ModalDialogRecord>& records = answer.Records();
    ASSERT_EQ(records.size(), 8u);
    EXPECT_EQ(Utf8(records[1].message), kGateQuestion);
    EXPECT_EQ(Utf8(records[1].title), "Nie zapisane!");
    EXPECT_EQ(records[1].style & (wxYES_NO | wxCANCEL | wxICON_QUESTION), wxYES_NO | wxCANCEL | wxICON_QUESTION);
    EXPECT_EQ(Utf8(records[5].message), "Błąd zapisu danych");
    EXPECT_EQ(Utf8(records[5].title), "");
    EXPECT_EQ(Utf8(records[6].message), "Zmiany w konfiguracji bramki Br#5 nie zostały zapisane.\nZapisać?");
}

TEST_F(LiveEditorTest, RelayOutputReadsAndWritesItsParametersInRecordOrder) {
    Connect();
    Modify(875, [](sim::SimParam& p) { p.value = 101; });
    Modify(874, [](sim::SimParam& p) { p.value = 2; });
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        EXPECT_EQ(OutputCaption(dialog), "");
        Choose(dialog, 5);
        EXPECT_EQ(Reads(), (Codes{220, 875, 874}));
        EXPECT_EQ(OutputCaption(dialog), "Wy E1");
        std::vector<jwxCombo*> lists = Lists(dialog);
        EXPECT_EQ(lists[1]->GetSelectedValue(), 101);
        EXPECT_EQ(lists[2]->GetSelectedValue(), 2);
        SelectCode(lists[0], 3);
        Save(dialog);

        Choose(dialog, 6);
        SelectCode(Lists(dialog)[0], 5);
        ModalAnswer::Click(dialog, wxID_OK);  // asks, answered No
        return wxID_NONE;
    });
    answer.Expect(wxID_NO);
    RunMenu(ID_RELAY_CONF);
    EXPECT_EQ(Writes(), (WriteList{{220, 3}, {875, 101}, {874, 2}}));
    ASSERT_EQ(answer.Records().size(), 2u);
    EXPECT_EQ(Utf8(answer.Records()[0].title), "Wyjścia przekaźnikowe");
    EXPECT_EQ(Utf8(answer.Records()[1].message), "Zmiany w konfiguracji wyjścia E2 nie zostały zapisane.\nZapisać?");
}

// An entry clicked again after "Anuluj" put the selection back is a new choice of that entry:
// it asks again, in every editor. A quick second click at the same spot is what the toolkit
// takes for a double click.
TEST_F(LiveEditorTest, EntryClickedAgainAfterCancelAsksAgain) {
    struct Case {
        int menu;
        Codes secondEntryReads;
        std::function<void(wxDialog*)> edit;
    };
    const Case cases[] = {
        {ID_RELAY_CONF, {216, 867, 866}, [](wxDialog* dialog) { SelectCode(Lists(dialog)[0], 3); }},
        {ID_ANALOG_OUT, {887, 888, 889, 890, 891, 892, 893},
         [](wxDialog* dialog) {
             Type(dynamic_cast<DlgAnalogOut*>(dialog)->GetField(DlgAnalogOut::UPPER_LIMIT), "0.5");
         }},
        {ID_LOGIC_CONF, {771, 772, 773}, [](wxDialog* dialog) { Toggle(Children<wxCheckBox>(dialog)[0]); }},
    };
    Connect();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.menu);
        ModalAnswer answer;
        answer.Expect([&](wxDialog* dialog) {
            LiveEditor* editor = Editor(dialog);
            EXPECT_TRUE(WaitUntilPainted(dialog));
            Choose(dialog, 0);
            c.edit(dialog);
            EXPECT_TRUE(editor->IsEntryModified());
            for (int click = 1; click <= 2; ++click) {
                SCOPED_TRACE(click);
                panel.ClearRequests();
                ClickEntry(dialog, 1);
                EXPECT_TRUE(RunLoopUntil([&] { return answer.Records().size() == 1u + click; }, 5000))
                    << "the click was not taken as a choice";
            }
            // Answered "Anuluj", then "Nie": the second entry is read.
            EXPECT_TRUE(RunLoopUntil([&] { return editor->GetCurrentEntry() == 1; }, 5000));
            EXPECT_EQ(EntryList(dialog)->GetSelection(), 1);
            EXPECT_EQ(Reads(), c.secondEntryReads);
            ModalAnswer::Click(dialog, wxID_OK);
            return wxID_NONE;
        });
        answer.Expect(wxID_CANCEL).Expect(wxID_NO);
        RunMenu(c.menu);
        EXPECT_EQ(answer.PendingAnswers(), 0u);
        EXPECT_TRUE(Writes().empty());
    }
}

// Without a valid entry nothing is read or written: a cleared list selection reads nothing, a
// record whose read failed cannot be saved, the frame's callbacks refuse an index outside the
// area, and a list that does not know the code read writes that code back.
TEST_F(LiveEditorTest, NothingIsReadOrWrittenWithoutAValidEntry) {
    Connect();
    Modify(775, [](sim::SimParam& p) { p.dataError = true; });
    Modify(867, [](sim::SimParam& p) { p.value = 200; });  // no two-state source has code 200
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        Choose(dialog, wxNOT_FOUND);
        EXPECT_TRUE(Reads().empty());
        EXPECT_EQ(Editor(dialog)->GetCurrentEntry(), -1);
        Choose(dialog, 2);  // the read fails
        EXPECT_FALSE(Editor(dialog)->IsEntryValid());
        for (jwxCombo* list : Lists(dialog)) EXPECT_FALSE(list->IsEnabled());
        Choose(dialog, wxNOT_FOUND);
        EXPECT_EQ(EntryList(dialog)->GetSelection(), 2);
        return wxID_OK;
    });
    answer.Expect(wxID_OK);
    RunMenu(ID_LOGIC_CONF);
    EXPECT_EQ(Messages(answer), std::vector<std::string>{"Błąd odczytu"});
    EXPECT_EQ(Utf8(answer.Records()[1].title), "");
    EXPECT_EQ(Reads(), (Codes{774, 775}));
    EXPECT_TRUE(Writes().empty());

    panel.ClearRequests();
    ParamValue* values[9] = {};
    const uint8_t record[3] = {1, 1, 1};
    const DecimalValue decimals[4];
    const int16_t limits[2] = {0, 1000};
    EXPECT_EQ(MyFrame::ReadLogicGate(frame, -1, values), -1);
    EXPECT_EQ(MyFrame::ReadLogicGate(frame, 16, values), -1);
    EXPECT_EQ(MyFrame::WriteLogicGate(frame, 16, record), -1);
    EXPECT_EQ(MyFrame::ReadRelay(frame, 7, values), -1);
    EXPECT_EQ(MyFrame::WriteRelay(frame, -1, record), -1);
    EXPECT_EQ(MyFrame::ReadAnalogOutput(frame, 4, values), -1);
    EXPECT_EQ(MyFrame::WriteAnalogOutput(frame, -1, record, decimals, limits), -1);
    EXPECT_TRUE(panel.Requests().empty());

    answer.Expect([&](wxDialog* dialog) {
        Choose(dialog, 1);
        EXPECT_EQ(Lists(dialog)[1]->GetSelectedValue(), -1);
        SelectCode(Lists(dialog)[0], 4);
        Save(dialog);
        return wxID_OK;
    });
    RunMenu(ID_RELAY_CONF);
    EXPECT_EQ(Writes(), (WriteList{{216, 4}, {867, 200}, {866, 0}}));
}

TEST_F(LiveEditorTest, AnalogOutputsAndMultiplexersReadTheirRecords) {
    Connect();
    Modify(939, [](sim::SimParam& p) { p.value = S16(-10); });
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        auto* editor = dynamic_cast<DlgAnalogOut*>(dialog);
        Choose(dialog, 3);
        EXPECT_EQ(Reads(), (Codes{932, 933, 934, 935, 936, 937, 938, 939, 940}));
        EXPECT_EQ(OutputCaption(dialog), "Mux #4");
        EXPECT_EQ(Utf8(editor->GetField(DlgAnalogOut::PRIMARY_MAX)->GetValue()), "100.0");
        EXPECT_EQ(Utf8(editor->GetField(DlgAnalogOut::LOWER_LIMIT)->GetValue()), "-0.010");
        EXPECT_EQ(Utf8(editor->GetField(DlgAnalogOut::UPPER_LIMIT)->GetValue()), "1.000");
        EXPECT_TRUE(editor->GetField(DlgAnalogOut::PRIMARY_MIN)->IsEnabled());
        EXPECT_EQ(Lists(dialog)[0]->GetValueCount(), 34);  // a multiplexer chooses among every analog source
        EXPECT_FALSE(SaveEnabled(dialog));

        panel.ClearRequests();
        Choose(dialog, 1);
        EXPECT_EQ(Reads(), (Codes{887, 888, 889, 890, 891, 892, 893}));
        EXPECT_EQ(OutputCaption(dialog), "Wy #2");
        EXPECT_EQ(Utf8(editor->GetField(DlgAnalogOut::PRIMARY_MIN)->GetValue()), "");
        EXPECT_FALSE(editor->GetField(DlgAnalogOut::PRIMARY_MIN)->IsEnabled());
        EXPECT_FALSE(editor->GetField(DlgAnalogOut::PRIMARY_MAX)->IsEnabled());
        EXPECT_TRUE(editor->GetField(DlgAnalogOut::ALTERNATIVE_MIN)->IsEnabled());
        EXPECT_EQ(Lists(dialog)[0]->GetValueCount(), 5);
        ModalAnswer::Click(dialog, wxID_OK);
        return wxID_NONE;
    });
    RunMenu(ID_ANALOG_OUT);
    EXPECT_EQ(Utf8(answer.Records()[0].title), "Wyjścia analogowe");
    EXPECT_TRUE(Writes().empty());
}

// Limits are stored in thousandths, halves away from zero; the range ends are accepted and a
// text beyond them or a normalisation text that is no number is refused before any write.
TEST_F(LiveEditorTest, AnalogLimitsAreRoundedAndEntriesChecked) {
    Connect();
    struct Case {
        const char* text;
        int stored;
    };
    // Negative halves round as the panel's other fields do (-0.0125 gives -12, see the number
    // parser's tests); inside the limit range that shows at -0.0095.
    const Case cases[] = {{"0.0125", 13}, {"1.02", 1020}, {"-0.010", -10}, {"-0.0095", -9}, {"-0.0096", -10}};
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        auto* editor = dynamic_cast<DlgAnalogOut*>(dialog);
        Choose(dialog, 3);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.text);
            panel.ClearRequests();
            Type(editor->GetField(DlgAnalogOut::LOWER_LIMIT), c.text);
            Save(dialog);
            const WriteList writes = Writes();
            EXPECT_EQ(writes.size(), 9u);
            if (writes.size() != 9u) continue;
            EXPECT_EQ(writes[7], (ParamWrite{939, S16(c.stored)}));
            EXPECT_EQ(writes[8], (ParamWrite{940, 1000}));
            EXPECT_EQ(writes[4], (ParamWrite{936, Packed(1000, 1)}));
        }
        panel.ClearRequests();
        Type(editor->GetField(DlgAnalogOut::UPPER_LIMIT), "1.021");
        Save(dialog);  // refused
        Type(editor->GetField(DlgAnalogOut::UPPER_LIMIT), "1");
        Type(editor->GetField(DlgAnalogOut::LOWER_LIMIT), "-0.0125");
        Save(dialog);  // refused
        Type(editor->GetField(DlgAnalogOut::LOWER_LIMIT), "0");
        Type(editor->GetField(DlgAnalogOut::UPPER_LIMIT), "1");
        Type(editor->GetField(DlgAnalogOut::ALTERNATIVE_MAX), "nan");
        Save(dialog);  // refused
        EXPECT_TRUE(Writes().empty());
        EXPECT_TRUE(SaveEnabled(dialog));
        dialog->Close();
        return wxID_NONE;
    });
    answer.Expect(wxID_OK).Expect(wxID_OK).Expect(wxID_OK).Expect(wxID_NO);
    RunMenu(ID_ANALOG_OUT);
    const std::vector<std::string> messages = Messages(answer);
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0], "Błąd zakresu liczby: -0.010 .. +1.020");
    EXPECT_EQ(messages[1], "Błąd zakresu liczby: -0.010 .. +1.020");
    EXPECT_EQ(messages[2], "Błąd zapisu liczby");
    EXPECT_EQ(Utf8(answer.Records()[1].title), "Błąd");
}

// A pair whose source is already normalised is disabled and written back as shown; a disabled
// field whose text is no number writes the value read, never 0.
TEST_F(LiveEditorTest, DisabledNormalisationFieldWritesTheValueShownOrRead) {
    Connect();
    Modify(932, [](sim::SimParam& p) { p.value = 81; });
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        auto* editor = dynamic_cast<DlgAnalogOut*>(dialog);
        Choose(dialog, 3);
        wxTextCtrl* primaryMin = editor->GetField(DlgAnalogOut::PRIMARY_MIN);
        wxTextCtrl* primaryMax = editor->GetField(DlgAnalogOut::PRIMARY_MAX);
        EXPECT_FALSE(primaryMin->IsEnabled());
        SelectCode(Lists(dialog)[0], 5);  // a source that needs its pair
        EXPECT_TRUE(primaryMin->IsEnabled());
        EXPECT_TRUE(SaveEnabled(dialog));
        Type(primaryMin, "2.5");
        Type(primaryMax, "");
        SelectCode(Lists(dialog)[0], 82);  // normalised again: the pair is disabled
        EXPECT_FALSE(primaryMax->IsEnabled());
        Save(dialog);
        return wxID_OK;
    });
    RunMenu(ID_ANALOG_OUT);
    const WriteList writes = Writes();
    ASSERT_EQ(writes.size(), 9u);
    EXPECT_EQ(writes[0], (ParamWrite{932, 82}));
    EXPECT_EQ(writes[3], (ParamWrite{935, Packed(25, 1)}));
    EXPECT_EQ(writes[4], (ParamWrite{936, Packed(1000, 1)}));
}

// Normalisation values the fields cannot carry back (see the configuration dialogs' tests):
// "Zapisz" after a change elsewhere in the record writes each of them as it was read.
TEST_F(LiveEditorTest, UneditedNormalisationValuesGoBackByteForByte) {
    const uint32_t unshowable[] = {Packed(9999, 1), Packed(9999, 3),   Packed(-9999, 2), Packed(15000, 0),
                                   Packed(-32768, 0), Packed(1234, 4), Packed(0, 0)};
    const struct {
        int index;
        uint16_t firstDecimal;
        int decimals;
        int firstValue;  // into unshowable
    } records[] = {{2, 923, 4, 0}, {3, 935, 4, 4}, {0, 883, 2, 1}};
    Connect();
    for (const auto& r : records) {
        for (int i = 0; i < r.decimals; ++i) {
            auto param = panel.Param(static_cast<uint16_t>(r.firstDecimal + i));
            ASSERT_TRUE(param.has_value());
            param->value = unshowable[(r.firstValue + i) % 7];
            panel.SetParam(*param);
        }
    }
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        auto* editor = dynamic_cast<DlgAnalogOut*>(dialog);
        for (const auto& r : records) {
            SCOPED_TRACE(r.index);
            Choose(dialog, r.index);
            panel.ClearRequests();
            Type(editor->GetField(DlgAnalogOut::LOWER_LIMIT), "0.5");
            Save(dialog);
            const WriteList writes = Writes();
            EXPECT_EQ(writes.size(), r.decimals == 4 ? 9u : 7u);
            if (writes.size() != (r.decimals == 4 ? 9u : 7u)) continue;
            for (int i = 0; i < r.decimals; ++i)
                EXPECT_EQ(writes[3 + i], (ParamWrite{static_cast<uint16_t>(r.firstDecimal + i),
                                                     unshowable[(r.firstValue + i) % 7]}));
            EXPECT_EQ(writes[3 + r.decimals].value, 500u);
        }
        return wxID_OK;
    });
    RunMenu(ID_ANALOG_OUT);
}

// --- The drawn switch ---

struct Pixel {
    int x, y;
    bool black;  // else white
};

void ExpectPixels(const wxImage& image, std::initializer_list<Pixel> pixels) {
    for (const Pixel& p : pixels) {
        SCOPED_TRACE(testing::Message() << "(" << p.x << ", " << p.y << ")");
        const int expected = p.black ? 0 : 255;
        EXPECT_EQ(image.GetRed(p.x, p.y), expected);
        EXPECT_EQ(image.GetGreen(p.x, p.y), expected);
        EXPECT_EQ(image.GetBlue(p.x, p.y), expected);
    }
}

TEST(SwitchSymbol, MuxSymbolIsDrawnOnWhite) {
    const wxImage mux = DrawMuxSymbol(60, 90).ConvertToImage();
    ASSERT_EQ(mux.GetWidth(), 60);
    ASSERT_EQ(mux.GetHeight(), 90);
    ExpectPixels(mux, {{0, 0, false}, {59, 0, false}, {0, 89, false}, {59, 89, false},  // background
                       {10, 45, true},  {49, 20, true}, {30, 5, true}, {30, 84, true},   // the box
                       {20, 45, false}, {40, 30, false},                                 // inside
                       {55, 45, true},  {58, 45, true},                                  // output
                       {3, 15, true},   {3, 75, true},  {3, 45, false},                  // inputs
                       {30, 87, true},  {26, 88, false}});                               // select input
    // The input labels are blue.
    int blue = 0;
    for (int y = 10; y < 80; ++y)
        for (int x = 11; x < 40; ++x)
            if (mux.GetBlue(x, y) > 150 && mux.GetRed(x, y) < 100 && mux.GetGreen(x, y) < 100) ++blue;
    EXPECT_GT(blue, 10);
}

TEST(SwitchSymbol, WireMeetsTheSelectInputAbove) {
    const wxImage wire = DrawWireSymbol(60, 20).ConvertToImage();
    ExpectPixels(wire, {{0, 10, true}, {20, 10, true}, {30, 0, true}, {30, 5, true},
                        {45, 10, false}, {10, 2, false}, {50, 2, false}, {59, 19, false}, {0, 19, false}});
}

}  // namespace
