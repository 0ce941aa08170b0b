// The switch drawn between an output editor's source lists: a two-input multiplexer symbol
// (inputs "0" and "1" on the left, the output on the right, the select input "d" at the bottom)
// and below it the wire that brings the switching signal to the select input. Both editors with
// a switch (relay outputs, analog outputs) lay it out with BuildSwitchDiagram.
#pragma once

#include <wx/bitmap.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

class jwxCombo;

// The multiplexer symbol on a white width x height bitmap (60 x 90 in the editors).
wxBitmap DrawMuxSymbol(int width, int height);
// The switching wire on a white width x height bitmap (60 x 20): in from the left at half
// height, then up to the top edge at half width, where the multiplexer's select input ends.
wxBitmap DrawWireSymbol(int width, int height);

struct SwitchDiagram {
    wxBoxSizer* diagramRow = nullptr;  // primary and alternative inputs, the symbol, the output
    wxBoxSizer* switchRow = nullptr;   // the switching input and the wire
    wxStaticText* output = nullptr;    // the output's name beside the symbol (starts empty)
    wxStaticText* wireEnd = nullptr;   // the empty text after the wire, as wide as the output's
};

// Lays the three source lists out around the drawn switch, with the captions "We Pri",
// "We Alt" and "We d" made one width. sizingText is the widest output name, so the output
// caption has room for every name.
SwitchDiagram BuildSwitchDiagram(wxWindow* parent, jwxCombo* primary, jwxCombo* alternative, jwxCombo* switching,
                                 const wxString& sizingText);
