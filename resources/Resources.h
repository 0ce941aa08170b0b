// The program's icons, compiled in: "ICO_1" (the main window) and "ICO_COM" (the wait window).
#pragma once

#include <wx/icon.h>
#include <wx/string.h>

// The named icon at the given size (drawn at 32x32, scaled for other sizes); an invalid icon
// for an unknown name or a size below 1.
wxIcon LoadIconResource(const wxString& name, int size = 32);
