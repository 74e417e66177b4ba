#pragma once

#include <string>

namespace batch {

// The text with what could drive the terminal or hide what is shown as escapes: control
// characters (\n, \r, \t, \x01, \u009B for a C1 control), bidirectional controls (\u202E)
// and each byte that is not valid UTF-8 (\xFF); so one report stays one line and reads as
// it is, whatever a file or its name holds.
std::string printable(const std::string& text);

}  // namespace batch
