#include "resources/Resources.h"

wxIcon LoadIconResource(const wxString& name, int size) { return wxIcon(); }
