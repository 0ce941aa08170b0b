// Small helpers shared by the tests.
#pragma once

#include <string>

// A fresh empty directory under /tmp, for fixture trees and settings.
std::string MakeTempDir(const char* prefix = "mirex-test");

// Makes a failed wx assertion print its place and fail the running test, instead of opening a
// modal box that would hang the run.
void FailTestsOnWxAssert();
