#include "app/MyApp.h"

#include "app/EventModes.h"
#include "app/LogTarget.h"
#include "app/MyFrame.h"

bool MyApp::OnInit() {
    // Before anything can log: the toolkit's own target would show errors in message boxes.
    InstallLogTarget();
    // The modes hold for the whole process: set once, before any window is made.
    SetProgramEventModes();
    m_frame = new MyFrame(wxASCII_STR("mirex"), wxPoint(50, 50), wxSize(450, 340));
    // Whichever road closes the main window, the program ends with it.
    m_frame->Bind(wxEVT_DESTROY, &MyApp::OnFrameDestroyed, this);
    m_frame->Show(true);
    SetTopWindow(m_frame);
    return true;
}

void MyApp::OnFrameDestroyed(wxWindowDestroyEvent& event) {
    event.Skip();
    if (event.GetEventObject() != m_frame) return;
    m_frame = nullptr;
    ExitMainLoop();
}

int MyApp::OnExit() { return 0; }
