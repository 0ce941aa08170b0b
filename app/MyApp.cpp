#include "app/MyApp.h"

#include "app/MyFrame.h"

bool MyApp::OnInit() {
    m_frame = new MyFrame(wxASCII_STR("mirex"), wxPoint(50, 50), wxSize(450, 340));
    m_frame->Show(true);
    SetTopWindow(m_frame);
    return true;
}

int MyApp::OnExit() { return 0; }
