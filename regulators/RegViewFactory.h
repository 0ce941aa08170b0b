// Makes the view of a regulator channel's type.
#pragma once

class PanelClient;
class RegX;
class wxWindow;

// The view for type 1 (threshold), 2 (PID) or 3 (timed); null for any other type.
RegX* CreateRegulatorView(int type, wxWindow* parent, PanelClient* client, int regulator);
