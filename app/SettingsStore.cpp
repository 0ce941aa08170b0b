#include "app/SettingsStore.h"

#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/utils.h>

#include <cstdlib>

wxString SettingsFilePath() {
    wxString home;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg) {
        home = wxString::FromUTF8(xdg);
    } else {
        home = wxGetHomeDir() + wxASCII_STR("/.config");
    }
    return home + wxASCII_STR("/mirex.conf");
}

wxConfigBase* InstallSettingsStore() {
    wxString path = SettingsFilePath();
    wxFileName::Mkdir(wxFileName(path).GetPath(), 0700, wxPATH_MKDIR_FULL);
    auto* store = new wxFileConfig(wxASCII_STR("mirex"), wxASCII_STR("VELTRA"), path, wxEmptyString,
                                   wxCONFIG_USE_LOCAL_FILE);
    delete wxConfigBase::Set(store);
    return store;
}

void DeleteSetting(const wxString& key) {
    wxConfigBase* store = wxConfigBase::Get(false);
    if (!store) return;
    store->DeleteEntry(key, true);
    store->Flush();
}
