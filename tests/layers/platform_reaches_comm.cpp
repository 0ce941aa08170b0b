// Must not compile: a layer reaching up.
#include "comm/ByteBuffer.h"
