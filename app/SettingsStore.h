// The program's settings store: a wxFileConfig (vendor "VELTRA", application "mirex") in the
// XDG configuration directory, installed as the global wxConfigBase. Keys: "/main/x", "/main/y",
// "/main/wi", "/main/he", "/com/type", "/com/name", "/path/backup".
#pragma once

#include <wx/string.h>

class wxConfigBase;

// Full path of the settings file: $XDG_CONFIG_HOME/mirex.conf, or ~/.config/mirex.conf.
wxString SettingsFilePath();

// Makes the store (creating its directory when missing), installs it as the global store and
// deletes the one it replaces. Returns the new store.
wxConfigBase* InstallSettingsStore();

// Deletes a key and, when that leaves its group empty, the group too. Flushes the store.
void DeleteSetting(const wxString& key);
