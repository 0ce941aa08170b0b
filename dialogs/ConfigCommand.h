// The road of every configuration command: read an area's parameters with the wait window,
// let a dialog edit them, store the results with each record's setter, and write every record
// back. The records a command read are owned here and freed on every exit.
//
//     ConfigCommand command(frame, client, {230, 231});
//     if (!command.Read()) return;                 // "Błąd odczytu" shown
//     DlgDispLEDs dialog(frame, title, command.Records(), ConfigDialog::kStyle, -1);
//     if (dialog.ShowModal() != wxID_OK) return;  // nothing written
//     for (int i = 0; i < 2; ++i) command[i]->SetU8(dialog.GetSource(i));
//     command.Write();                             // "Błąd zapisu" shown on a refusal
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "comm/ParamValue.h"

class PanelClient;
class wxWindow;

// Owns an array of parameter records (null slots allowed) and deletes them with itself.
class ParamRecords {
public:
    explicit ParamRecords(int count = 0) : records(count > 0 ? count : 0, nullptr) {}
    ~ParamRecords() { Clear(); }
    ParamRecords(const ParamRecords&) = delete;
    ParamRecords& operator=(const ParamRecords&) = delete;

    int Count() const { return static_cast<int>(records.size()); }
    ParamValue** Data() { return records.data(); }
    ParamValue* operator[](int i) const { return records[i]; }
    // Deletes every record; the slots stay, null.
    void Clear();

private:
    std::vector<ParamValue*> records;
};

class ConfigCommand {
public:
    // How the area is read: one batch request sequence, or a single parameter on its own.
    enum ReadMode { READ_BATCH, READ_SINGLE };

    ConfigCommand(wxWindow* owner, PanelClient* client, std::initializer_list<uint16_t> codes,
                  ReadMode mode = READ_BATCH);
    ConfigCommand(wxWindow* owner, PanelClient* client, std::vector<uint16_t> codes, ReadMode mode = READ_BATCH);

    // Reads every code. A parameter the panel refuses or reports damaged is a failure too, as
    // is a lost connection: the user sees "Błąd odczytu" (after the link's own message when the
    // connection went) and nothing is kept.
    bool Read();
    ParamValue** Records() { return records.Data(); }
    ParamValue* operator[](int i) const { return records[i]; }
    int Count() const { return records.Count(); }
    // Writes every record back in order, stopping at the first refusal ("Błąd zapisu"); the
    // parameters before it stay written. Once the connection is gone nothing is sent, and the
    // user sees "Błąd zapisu" after the link's own message: the edit was not written.
    bool Write();

private:
    // The write itself, without a message; false when anything was not written.
    bool Send();

    wxWindow* owner;
    PanelClient* client;
    std::vector<uint16_t> codes;
    ReadMode mode;
    ParamRecords records;
};

// The caption-"Błąd" error box of the configuration commands.
void ShowConfigError(wxWindow* owner, const char* utf8Message);
