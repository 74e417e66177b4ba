#pragma once

#include <string>

// The file exists as a file (a folder does not count).
bool fileExists(const std::string& path);
// A regular file, after following links: not a folder, pipe, device or socket.
bool isRegularFile(const std::string& path);
