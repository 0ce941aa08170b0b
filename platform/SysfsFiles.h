// Small helpers for reading the kernel's sysfs and /proc trees (and fixture trees in tests).
#pragma once

#include <string>
#include <vector>

namespace platform {

// The first line of a file without its trailing line end and blanks; empty when unreadable.
std::string ReadFirstLine(const std::string& path);
bool IsFile(const std::string& path);
// The path with every symbolic link resolved; empty when it does not exist.
std::string RealPath(const std::string& path);
// The part after the last '/'.
std::string BaseName(const std::string& path);
// The names in a directory, without "." and ".."; empty when it cannot be read.
std::vector<std::string> DirectoryEntries(const std::string& path);

}  // namespace platform
