#pragma once

#include <string>

// The file exists as a file (a folder does not count).
bool fileExists(const std::string& path);
