// The program's icons, compiled in: "ICO_1" (the main window) and "ICO_COM" (the wait window).
#pragma once

#include <wx/icon.h>
#include <wx/string.h>

// The named icon at the given size; an empty icon for an unknown name.
wxIcon LoadIconResource(const wxString& name, int size = 32);
