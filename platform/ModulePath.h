#pragma once

#include <string>

// Where a module of the program is, never relative to the current folder: `relative` taken
// from the program's own folder, which /proc names, or without /proc the absolute path the
// program was started by; otherwise `installed`, where the installation puts it, when it is
// there. Empty when neither is known.
std::string locateModule(const std::string& relative, const std::string& installed);
