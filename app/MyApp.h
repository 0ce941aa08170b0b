// The application object: starts the toolkit and opens the main window.
#pragma once

#include <wx/app.h>

class MyFrame;

class MyApp : public wxApp {
public:
    bool OnInit() override;
    int OnExit() override;

    MyFrame* GetTopFrame() const { return m_frame; }

private:
    void OnFrameDestroyed(wxWindowDestroyEvent& event);

    MyFrame* m_frame = nullptr;
};

wxDECLARE_APP(MyApp);
