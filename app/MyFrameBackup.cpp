// Saving the panel's whole parameter set to a backup file and loading such a file back.
//
// The save walks the panel's own parameter list, so it needs no table of parameters here; the
// load writes back whatever parameter lines the file holds. A save replaces the chosen file
// only once the whole set has been read and written to disk, so a failure never costs the
// backup that was there before. A load reads and checks the whole file before its first write,
// so a damaged or cut-off file never leaves the panel with part of it unless the user asked
// for that.
#include <wx/config.h>
#include <wx/datetime.h>
#include <wx/dialog.h>
#include <wx/file.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/weakref.h>

#include <memory>
#include <vector>

#include "app/MyFrame.h"
#include "comm/ConfigBackupFile.h"
#include "comm/PanelClient.h"
#include "platform/ReplacingFile.h"
#include "widgets/CentreHook.h"
#include "widgets/MesgBox.h"
#include "widgets/WaitWindow.h"

namespace {

wxString U8(const char* text) { return wxString::FromUTF8(text); }

const long kNoticeStyle = wxOK | wxICON_EXCLAMATION;  // 0x104
const wxString kBackupPathKey = wxASCII_STR("/path/backup");
// List indexes are 16-bit: a panel that never sends the end mark has told all of its list
// after this many.
const int kListIndexCount = 65536;

void Notice(wxWindow* parent, const wxString& text) { MesgBox(parent, text, wxEmptyString, kNoticeStyle); }

// Runs the dialog with the centring hook; the chosen path, or empty when not confirmed.
wxString AskForPath(wxFileDialog& dialog) {
    InstallCentreHook();
    const int answer = dialog.ShowModal();
    RemoveCentreHook();
    return answer == wxID_OK ? dialog.GetPath() : wxString();
}

// How many lines of a file read to its end were skipped, and the first of them.
wxString SkippedLinesText(const BackupFileReader& reader) {
    return wxString::Format(U8("Pominięte linie pliku: %d\nPierwsza pominięta: linia %d"), reader.SkippedLines(),
                            reader.FirstSkippedLine());
}

// Asks whether the good lines of a file that also holds skipped ones are to be written; "Nie",
// the answer that changes nothing, is the default.
bool WriteDespiteSkippedLines(wxWindow* parent, const BackupFileReader& reader) {
    const wxString question =
        SkippedLinesText(reader) +
        wxString::Format(U8("\n\nZapisać pozostałe parametry (%d) do urządzenia?"), reader.ParamLines());
    MesgBox box(parent, question, wxEmptyString, wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION);
    return box.GetResult() == wxID_YES;
}

}  // namespace

void MyFrame::OnSaveConfig(wxCommandEvent&) {
    wxConfigBase* store = wxConfigBase::Get();
    const wxString name = DefaultBackupFileName(m_panelType, m_serial, wxDateTime::Now());
    wxFileDialog dialog(this, U8("Zachowaj konfigurację do pliku"), store->Read(kBackupPathKey, wxEmptyString), name,
                        wxASCII_STR("*.conf"), wxFD_SAVE | wxFD_OVERWRITE_PROMPT, wxDefaultPosition,
                        wxDefaultSize, wxASCII_STR("filedlg"));
    const wxString path = AskForPath(dialog);
    if (path.empty()) return;
    store->Write(kBackupPathKey, wxFileName(path).GetPath());
    store->Flush();
    SaveConfigToFile(path);
}

void MyFrame::OnLoadConfig(wxCommandEvent&) {
    wxFileDialog dialog(this, U8("Załaduj konfigurację z pliku"),
                        wxConfigBase::Get()->Read(kBackupPathKey, wxEmptyString), wxEmptyString,
                        wxASCII_STR("*.conf"), wxFD_OPEN | wxFD_FILE_MUST_EXIST, wxDefaultPosition, wxDefaultSize,
                        wxASCII_STR("filedlg"));
    const wxString path = AskForPath(dialog);
    if (path.empty()) return;
    LoadConfigFromFile(path);
}

WaitWindow* MyFrame::ShowBackupWaitWindow() {
    return new WaitWindow(this, U8("Trwa komunikacja"), U8("Czekajka"), wxRESIZE_BORDER, wxID_ANY);
}

bool MyFrame::SaveConfigToFile(const wxString& path) {
    if (!m_client->SetMode(PanelClient::kReportsOff)) {
        // Nothing was read and no file touched: saying nothing would pass for a completed save.
        Notice(this, U8("Nie udało się wyłączyć odczytów z urządzenia\nPlik nie został zapisany"));
        ResumeReports();  // in case they went off all the same; blank when they did not come back
        return false;
    }

    platform::ReplacingFile file;
    bool complete = false;
    bool fileError = !file.Open(std::string(path.fn_str())) ||
                     !file.Write(FormatBackupHeader(m_panelType, m_fwLetter, m_fwMajor, m_fwMinor, m_serial,
                                                    wxDateTime::Now()));
    if (!fileError) {
        wxString failure;
        wxWeakRef<WaitWindow> wait(ShowBackupWaitWindow());
        for (int index = 0; index < kListIndexCount; ++index) {
            std::unique_ptr<ParamListEntry> entry(m_client->EnumParam(static_cast<uint16_t>(index), false));
            if (!entry) {
                failure = U8("Błąd podczas odczytu konfiguracji z urządzenia");
                break;
            }
            if (entry->status == ParamListEntry::kEnd) {
                complete = true;
                break;
            }
            if (entry->status == ParamListEntry::kPresent) {
                ParamStatus status = PARAM_NO_REPLY;
                std::unique_ptr<ParamValue> value(m_client->ReadParam(entry->code, &status, false));
                // A refused or damaged parameter comes back as a record without a value: that
                // is no value to back up either.
                const std::string line = value && status == PARAM_OK ? FormatBackupLine(value.get()) : std::string();
                if (line.empty()) {
                    failure = U8("Błąd podczas odczytu parametru\nkonfiguracji z urządzenia");
                    break;
                }
                if (!file.Write(line)) {
                    fileError = true;
                    break;
                }
            }
            if (wait) wait->SetMessage(wxString::Format(wxASCII_STR("Odczyt %d"), index));
            if (index == kListIndexCount - 1) complete = true;
        }
        delete wait.get();
        if (complete && !file.Commit()) {
            complete = false;
            fileError = true;
        }
        if (!failure.empty()) Notice(this, failure);
    }
    if (fileError) {
        wxLogError(wxASCII_STR("Backup file %s: %s"), path, wxString::FromUTF8(file.Error()));
        Notice(this, U8("Błąd zapisu"));
    }
    // Whatever stopped the save, the chosen file keeps its old content.
    file.Discard();
    if (!ResumeReports()) TellReportsNotResumed(wxEmptyString);
    return complete;
}

bool MyFrame::LoadConfigFromFile(const wxString& path) {
    wxFile file;
    if (!wxFile::Exists(path) || !file.Open(path, wxFile::read)) {
        Notice(this, U8("Nie można otworzyć pliku"));
        return false;
    }
    // The whole file first: what it holds decides whether anything is written at all.
    std::vector<std::unique_ptr<ParamValue>> params;
    BackupFileReader reader(file);
    while (std::unique_ptr<ParamValue> value = reader.NextParam()) params.push_back(std::move(value));
    file.Close();
    if (reader.ReadFailed()) {
        wxLogError(wxASCII_STR("Backup load %s: read error after %d parameter lines; nothing written"), path,
                   reader.ParamLines());
        Notice(this, U8("Błąd czytania pliku"));
        return false;
    }
    if (reader.SkippedLines() > 0 || params.empty()) {
        wxLogWarning(wxASCII_STR("Backup load %s: %d parameter lines, %d lines skipped (first: line %d)"), path,
                     reader.ParamLines(), reader.SkippedLines(), reader.FirstSkippedLine());
    }
    if (params.empty()) {
        wxString text = U8("Plik nie zawiera żadnego parametru");
        if (reader.SkippedLines() > 0) text += wxASCII_STR("\n") + SkippedLinesText(reader);
        Notice(this, text);
        return false;
    }
    if (reader.SkippedLines() > 0 && !WriteDespiteSkippedLines(this, reader)) {
        wxLogMessage(wxASCII_STR("Backup load %s: not written, the user declined"), path);
        return false;
    }

    // The pushed reports pause only while writing, not while the user reads the question.
    if (!m_client->SetMode(PanelClient::kReportsOff)) {
        Notice(this, U8("Nie udało się wyłączyć odczytów z urządzenia\nŻaden parametr nie został zapisany"));
        ResumeReports();  // in case they went off all the same; blank when they did not come back
        return false;
    }
    // Lines that were skipped are not restored: such a load is no success either.
    bool allWritten = reader.SkippedLines() == 0;
    int count = 0;
    int refused = 0;
    wxWeakRef<WaitWindow> wait(ShowBackupWaitWindow());
    for (const std::unique_ptr<ParamValue>& value : params) {
        if (m_client->WriteParam(value.get(), false) != PARAM_OK) {
            allWritten = false;
            wxString text = wxString::Format(U8("Błąd zapisu parametru %04x"), static_cast<unsigned>(value->code));
            // With the link gone every further line would fail the same way, each with its box:
            // the load stops here, and its one message counts every parameter of the file not
            // written (those refused before, this one and the rest).
            const bool linkGone = !m_client->HasEngine();
            if (linkGone) {
                const int unwritten = refused + static_cast<int>(params.size()) - count;
                wxLogError(wxASCII_STR("Backup load %s: link lost, %d of %d parameters not written"), path,
                           unwritten, static_cast<int>(params.size()));
                text += wxString::Format(U8("\nBrak połączenia z panelem\nNiezapisane parametry: %d"), unwritten);
            }
            Notice(this, text);
            if (linkGone) break;
            ++refused;
        }
        ++count;
        if (wait) wait->SetMessage(wxString::Format(wxASCII_STR("Zapis %d"), count));
    }
    delete wait.get();
    if (!ResumeReports()) TellReportsNotResumed(wxEmptyString);
    return allWritten;
}
