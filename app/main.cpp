#include <wx/app.h>
#include <wx/frame.h>

// Placeholder until the main window lands: opens an empty frame and closes cleanly.
class MyApp : public wxApp {
public:
    bool OnInit() override {
        auto* frame = new wxFrame(nullptr, wxID_ANY, wxASCII_STR("mirex"), wxPoint(50, 50), wxSize(450, 340));
        frame->Show();
        SetTopWindow(frame);
        return true;
    }
};

wxIMPLEMENT_APP(MyApp);
