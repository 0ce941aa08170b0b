// Must not compile: a layer reaching up.
#include "regulators/RegX.h"
