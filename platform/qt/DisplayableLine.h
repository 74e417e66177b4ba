#pragma once

#include <QString>
#include <string>

// A line of a file as harmless text for display: at most `limit` characters, control
// characters shown as replacement marks, invalid UTF-8 decoded leniently.
QString displayableLine(const std::string& line, int limit);
