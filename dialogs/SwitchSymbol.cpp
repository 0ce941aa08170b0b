#include "dialogs/SwitchSymbol.h"

#include <wx/dcmemory.h>
#include <wx/statbmp.h>

#include "widgets/LayoutHelpers.h"
#include "widgets/jwxCombo.h"

namespace {

constexpr int kPenWidth = 3;
constexpr int kLabelHeight = 11;  // pixels

// A new bitmap holds undefined pixels: every symbol starts from an opaque white ground.
void StartSymbol(wxMemoryDC& dc) {
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.SetPen(wxPen(*wxBLACK, kPenWidth, wxPENSTYLE_SOLID));
}

}  // namespace

wxBitmap DrawMuxSymbol(int w, int h) {
    wxBitmap bitmap(w, h, 24);
    wxMemoryDC dc(bitmap);
    StartSymbol(dc);
    dc.DrawRectangle(10, 5, w - 20, h - 10);
    dc.DrawLine(10, 5, w - 10, h / 2);
    dc.DrawLine(10, h - 5, w - 10, h / 2);
    dc.DrawLine(w - 10, h / 2, w - 1, h / 2);   // output
    dc.DrawLine(0, 15, 10, 15);                 // input 0
    dc.DrawLine(0, h - 15, 10, h - 15);         // input 1
    dc.DrawLine(w / 2, h - 5, w / 2, h - 1);    // select input
    // A small font, so the labels stay clear of the lines at any system font size.
    dc.SetFont(wxFont(wxFontInfo(wxSize(0, kLabelHeight))));
    dc.SetTextForeground(*wxBLUE);
    dc.SetTextBackground(*wxWHITE);
    dc.DrawText(wxASCII_STR("0"), 12, 13);
    dc.DrawText(wxASCII_STR("1"), 12, h - 27);
    dc.DrawText(wxASCII_STR("d"), w / 2 - 4, h - 21);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

wxBitmap DrawWireSymbol(int w, int h) {
    wxBitmap bitmap(w, h, 24);
    wxMemoryDC dc(bitmap);
    StartSymbol(dc);
    dc.DrawLine(0, h / 2, w / 2, h / 2);
    dc.DrawLine(w / 2, h / 2, w / 2, 0);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

namespace {

// A caption and its list in one row; the list takes the row's width.
wxBoxSizer* InputRow(wxStaticText* caption, int captionTop, jwxCombo* list) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(caption, 0, wxTOP, captionTop);
    row->Add(list, 1, wxEXPAND);
    return row;
}

}  // namespace

SwitchDiagram BuildSwitchDiagram(wxWindow* parent, jwxCombo* primary, jwxCombo* alternative, jwxCombo* switching,
                                 const wxString& sizingText) {
    SwitchDiagram diagram;
    wxStaticText* captions[3] = {new wxStaticText(parent, wxID_ANY, wxASCII_STR("We Pri")),
                                 new wxStaticText(parent, wxID_ANY, wxASCII_STR("We Alt")),
                                 new wxStaticText(parent, wxID_ANY, wxASCII_STR("We d"))};

    auto* inputs = new wxBoxSizer(wxVERTICAL);
    inputs->Add(InputRow(captions[0], 3, primary), 0, wxEXPAND | wxTOP, 5);
    inputs->AddStretchSpacer();
    inputs->Add(InputRow(captions[1], 3, alternative), 0, wxEXPAND | wxBOTTOM, 5);

    diagram.output = new wxStaticText(parent, wxID_ANY, sizingText);
    auto* outputColumn = new wxBoxSizer(wxVERTICAL);
    outputColumn->AddStretchSpacer();
    outputColumn->Add(diagram.output, 0, wxLEFT, 3);
    outputColumn->AddStretchSpacer();

    diagram.diagramRow = new wxBoxSizer(wxHORIZONTAL);
    diagram.diagramRow->Add(inputs, 1, wxEXPAND);
    diagram.diagramRow->Add(new wxStaticBitmap(parent, wxID_ANY, DrawMuxSymbol(60, 90)), 0, wxLEFT, 1);
    diagram.diagramRow->Add(outputColumn, 0, wxEXPAND);

    diagram.wireEnd = new wxStaticText(parent, wxID_ANY, wxString());
    diagram.switchRow = new wxBoxSizer(wxHORIZONTAL);
    diagram.switchRow->Add(InputRow(captions[2], 4, switching), 1, wxEXPAND | wxBOTTOM, 5);
    diagram.switchRow->Add(new wxStaticBitmap(parent, wxID_ANY, DrawWireSymbol(60, 20)), 0, wxLEFT, 1);
    diagram.switchRow->Add(diagram.wireEnd, 0, wxLEFT, 3);

    AlignLabelWidths(3, captions, 4);
    wxStaticText* ends[2] = {diagram.output, diagram.wireEnd};
    AlignLabelWidths(2, ends, 0);
    return diagram;
}
