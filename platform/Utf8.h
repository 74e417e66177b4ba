#pragma once

#include <cstddef>
#include <string_view>

// UTF-8 as files and file names hold it, for showing such text safely.

// The character that starts at `at`, and how many bytes it takes; 0 when the byte there
// starts no valid UTF-8 sequence (a stray or cut one, an overlong form, a surrogate, a value
// past U+10FFFF).
std::size_t decodeUtf8(std::string_view text, std::size_t at, char32_t& character);

// Characters that show nothing yet act on what is shown: the C0 and C1 controls and DEL, which
// drive a terminal, and the bidirectional controls, which reorder the text around them.
bool isControlCharacter(char32_t character);
