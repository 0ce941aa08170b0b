// Must not compile: a layer reaching up.
#include "widgets/WaitWindow.h"
