#include <cstdlib>

#include <wx/init.h>

#include "app/MyApp.h"

int main(int argc, char** argv) {
    // The program draws nothing with OpenGL, yet the toolkit would load the system's whole GL
    // stack at start (tens of MB resident, most of the process) only to pick visuals for it.
    // Every resident page makes each wake-up of the process dearer, and the panel wakes it
    // several times a second. A user's own setting is kept.
    setenv("GDK_GL", "disable", 0);
    return wxEntry(argc, argv);
}

// Also checks the toolkit's build options against those of this program.
wxIMPLEMENT_APP_NO_MAIN(MyApp);
