#include "dialogs/ConfigCommand.h"

#include "comm/PanelClient.h"
#include "widgets/MesgBox.h"

void ParamRecords::Clear() {
    for (ParamValue*& record : records) {
        delete record;
        record = nullptr;
    }
}

ConfigCommand::ConfigCommand(wxWindow* owner, PanelClient* client, std::initializer_list<uint16_t> codes,
                             ReadMode mode)
    : ConfigCommand(owner, client, std::vector<uint16_t>(codes), mode) {}

ConfigCommand::ConfigCommand(wxWindow* owner, PanelClient* client, std::vector<uint16_t> codes, ReadMode mode)
    : owner(owner), client(client), codes(std::move(codes)), mode(mode),
      records(static_cast<int>(this->codes.size())) {}

void ShowConfigError(wxWindow* owner, const char* utf8Message) {
    MesgBox(owner, wxString::FromUTF8(utf8Message), wxString::FromUTF8("Błąd"), wxOK | wxICON_EXCLAMATION);
}

bool ConfigCommand::Read() {
    records.Clear();
    ParamStatus status = PARAM_NO_REPLY;
    if (mode == READ_SINGLE && Count() == 1) {
        records.Data()[0] = client->ReadParam(codes[0], &status, true);
        // A record without a value (refused or damaged) is no value to show and write back.
        if (status != PARAM_OK) records.Clear();
    } else {
        status = client->ReadParams(Count(), records.Data(), codes.data(), true);
    }
    if (status == PARAM_OK) return true;
    records.Clear();
    // Also after a lost connection's own message: that one says what happened to the link,
    // this one that the read the user asked for got nothing.
    ShowConfigError(owner, "Błąd odczytu");
    return false;
}

bool ConfigCommand::Write() {
    if (!Send()) {
        // Also after a lost connection's own message: the edit the user confirmed was not
        // written (or only in part, up to a refusal).
        ShowConfigError(owner, "Błąd zapisu");
        return false;
    }
    return true;
}

bool ConfigCommand::Send() {
    // A connection that went while the dialog was open takes nothing more.
    if (client->GetState() != CLIENT_STARTED) return false;
    const ParamStatus status = mode == READ_SINGLE && Count() == 1
                                   ? client->WriteParam(records[0], true)
                                   : client->WriteParams(Count(), records.Data(), true);
    return status == PARAM_OK;
}
