// Small helpers shared by the tests.
#pragma once

#include <string>

// A fresh empty directory under /tmp, for fixture trees and settings.
std::string MakeTempDir(const char* prefix = "mirex-test");
