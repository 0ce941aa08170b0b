#include "app/MyApp.h"

#include "app/LogTarget.h"
#include "app/MyFrame.h"

bool MyApp::OnInit() {
    // Before anything can log: the toolkit's own target would show errors in message boxes.
    InstallLogTarget();
    // The toolkit sends idle and update-UI events to every window at every wake-up of the event
    // loop, which cost more than a pushed report itself: only windows that ask get them. The
    // modes hold for the whole process, so they are set once, before any window is made. The
    // main window asks for idle events; no window of the program handles update-UI events.
    wxIdleEvent::SetMode(wxIDLE_PROCESS_SPECIFIED);
    wxUpdateUIEvent::SetMode(wxUPDATE_UI_PROCESS_SPECIFIED);
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
