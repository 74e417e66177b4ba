#pragma once

#include <string>

namespace batch {

// The text with control characters as escapes (\n, \r, \t, \x01), so that one report stays
// one line and cannot drive the terminal, whatever a file or its name holds.
std::string printable(const std::string& text);

}  // namespace batch
