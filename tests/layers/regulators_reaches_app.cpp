// Must not compile: a layer reaching up.
#include "app/FrameIds.h"
