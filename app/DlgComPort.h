// The port dialog: USB bridge, a serial port from the machine's list, or the remote-assistance
// proxy. Shows the stored choice and stores the new one under "/com/type" and "/com/name".
#pragma once

#include <wx/arrstr.h>
#include <wx/dialog.h>

#include <string>

class wxComboBox;
class wxRadioButton;

class DlgComPort : public wxDialog {
public:
    enum { ID_USB = 300, ID_COM = 301, ID_PORT_COMBO = 100 };

    // Where the port list is read from (tests point these at fixture trees).
    struct PortRoots {
        std::string sysfs = "/sys";
        std::string proc = "/proc";
        std::string dev = "/dev";
    };
    static void SetPortRoots(const PortRoots& roots);

    DlgComPort(wxWindow* parent, const wxString& title, long style, wxWindowID id);
    ~DlgComPort() override;

    int ShowModal() override;
    void StoreSelection();

    // For tests and callers that inspect the controls.
    wxRadioButton* GetUsbButton() const { return m_usb; }
    wxRadioButton* GetComButton() const { return m_com; }
    wxRadioButton* GetIpButton() const { return m_ip; }
    wxComboBox* GetPortCombo() const { return m_ports; }
    const wxArrayString& GetPortNames() const { return m_portNames; }

private:
    void OnPortSelected(wxCommandEvent& event);
    void PresetFromSettings();

    wxWindow* m_parent;
    wxRadioButton* m_usb = nullptr;
    wxRadioButton* m_com = nullptr;
    wxRadioButton* m_ip = nullptr;
    wxComboBox* m_ports = nullptr;
    wxArrayString m_portNames;
    wxArrayString m_portDescriptions;
};
