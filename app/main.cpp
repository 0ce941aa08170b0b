#include "app/MyApp.h"

// wxIMPLEMENT_APP also checks the toolkit's build options against those of this program.
wxIMPLEMENT_APP(MyApp);
