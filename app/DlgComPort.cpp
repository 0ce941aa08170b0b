#include "app/DlgComPort.h"

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/config.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "comm/PortEnumerator.h"
#include "widgets/FramedBox.h"
#include "widgets/LayoutHelpers.h"

namespace {
DlgComPort::PortRoots& Roots() {
    static DlgComPort::PortRoots roots;
    return roots;
}
}  // namespace

void DlgComPort::SetPortRoots(const PortRoots& roots) { Roots() = roots; }

DlgComPort::DlgComPort(wxWindow* parent, const wxString& title, long style, wxWindowID id)
    : wxDialog(parent, id, title, wxDefaultPosition, wxDefaultSize, style, wxASCII_STR("dialog")), m_parent(parent) {
    {
        PortEnumerator ports(Roots().sysfs, Roots().proc, Roots().dev);
        for (int i = 0; i < ports.GetCount(); ++i) {
            m_portNames.Add(wxString::FromUTF8(ports.GetName(i)));
            m_portDescriptions.Add(wxString::FromUTF8(ports.GetDescription(i)));
        }
    }

    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* box = new wxStaticBoxSizer(new FramedBox(this, wxID_ANY, wxString::FromUTF8("Port komunikacyjny")),
                                     wxVERTICAL);
    top->Add(box, 0, wxEXPAND | wxALL, 1);

    auto* usbRow = new wxBoxSizer(wxHORIZONTAL);
    m_usb = new wxRadioButton(this, ID_USB, wxASCII_STR("USB"), wxDefaultPosition, wxDefaultSize, wxRB_GROUP,
                              wxDefaultValidator, wxASCII_STR("radioButton"));
    usbRow->Add(m_usb, 0, wxALL, 5);
    box->Add(usbRow, 1, wxEXPAND);

    auto* comRow = new wxBoxSizer(wxHORIZONTAL);
    m_com = new wxRadioButton(this, ID_COM, wxASCII_STR("COM"));
    comRow->Add(m_com, 0, wxALL, 5);
    m_ports = new wxComboBox(this, ID_PORT_COMBO, wxEmptyString, wxDefaultPosition, wxDefaultSize, m_portDescriptions,
                             wxCB_DROPDOWN | wxCB_READONLY, wxDefaultValidator, wxASCII_STR("comboBox"));
    comRow->Add(m_ports, 1, wxEXPAND);
    box->Add(comRow, 1, wxEXPAND);

    auto* ipRow = new wxBoxSizer(wxHORIZONTAL);
    m_ip = new wxRadioButton(this, wxID_ANY, wxASCII_STR("IP"));
    ipRow->Add(m_ip, 0, wxALL, 5);
    box->Add(ipRow, 1, wxEXPAND);

    wxWindow* labels[3] = {m_usb, m_com, m_ip};
    AlignLabelWidths(3, labels, 0);

    top->AddSpacer(5);
    // The standard OK / Cancel row, with Polish labels in place of the toolkit's stock ones.
    auto* buttons = new wxStdDialogButtonSizer;
    auto* ok = new wxButton(this, wxID_OK, wxASCII_STR("OK"));
    ok->SetDefault();  // Enter confirms; Escape cancels through the wxID_CANCEL button
    buttons->AddButton(ok);
    buttons->AddButton(new wxButton(this, wxID_CANCEL, wxString::FromUTF8("Anuluj")));
    buttons->Realize();
    top->Add(buttons, 0, wxEXPAND | wxALL, 6);

    SetSizer(top);
    top->Fit(this);
    m_ports->Bind(wxEVT_COMBOBOX, &DlgComPort::OnPortSelected, this);
    Centre(wxBOTH);
}

DlgComPort::~DlgComPort() = default;

void DlgComPort::PresetFromSettings() {
    wxConfigBase* store = wxConfigBase::Get();
    wxString type = store->Read(wxASCII_STR("/com/type"), wxEmptyString);
    wxString name = store->Read(wxASCII_STR("/com/name"), wxEmptyString);
    if (!m_portDescriptions.empty()) m_ports->SetSelection(0);
    if (type == wxASCII_STR("USB") || type.empty()) {
        m_usb->SetValue(true);
    } else if (type == wxASCII_STR("IP")) {
        m_ip->SetValue(true);
    } else {
        m_com->SetValue(true);
        int index = m_portNames.Index(name, true);
        if (index != wxNOT_FOUND) m_ports->SetSelection(index);
    }
}

int DlgComPort::ShowModal() {
    PresetFromSettings();
    int result = wxDialog::ShowModal();
    if (result == wxID_OK) StoreSelection();
    return result;
}

void DlgComPort::StoreSelection() {
    wxConfigBase* store = wxConfigBase::Get();
    if (m_usb->GetValue()) {
        store->Write(wxASCII_STR("/com/type"), wxASCII_STR("USB"));
    } else if (m_com->GetValue()) {
        store->Write(wxASCII_STR("/com/type"), wxASCII_STR("COM"));
        int selected = m_ports->GetSelection();
        if (selected >= 0 && selected < static_cast<int>(m_portNames.size())) {
            store->Write(wxASCII_STR("/com/name"), m_portNames[selected]);
        }
    } else if (m_ip->GetValue()) {
        store->Write(wxASCII_STR("/com/type"), wxASCII_STR("IP"));
    }
    store->Flush();
}

void DlgComPort::OnPortSelected(wxCommandEvent& event) {
    m_com->SetValue(true);
    event.Skip();
}
