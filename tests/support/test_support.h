// Small helpers shared by the tests.
#pragma once

#include <string>

// A whole file's bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// Writes text as the file's whole content, byte for byte.
void WriteWholeFile(const std::string& path, const std::string& text);

// Resident memory of this process (VmRSS), KiB; 0 when it cannot be read.
long ResidentKiB();

// A fresh empty directory under /tmp, for fixture trees and settings.
std::string MakeTempDir(const char* prefix = "mirex-test");

// The directory holding the tests' own pl_PL.UTF-8 locale (for LOCPATH).
const char* TestLocalePath();
// Points LOCPATH at it and sets every category of the C locale to pl_PL.UTF-8 (decimal comma);
// the previous locale, to pass to RestoreLocale. Empty when the locale cannot be set.
std::string UsePolishLocale();
void RestoreLocale(const std::string& previous);

// Makes a failed wx assertion print its place and fail the running test, instead of opening a
// modal box that would hang the run.
void FailTestsOnWxAssert();
