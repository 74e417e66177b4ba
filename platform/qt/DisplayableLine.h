#pragma once

#include <QString>
#include <string>
#include <string_view>

enum class Tabs { Shown, Kept };

// Text from a file or a file name as harmless text for display: a C0 control or DEL as its
// visible symbol (U+2400 and on, U+2421), a C1 or bidirectional control and each byte that
// is not valid UTF-8 as the replacement mark; a tab stays a tab where asked.
QString visibleText(std::string_view utf8, Tabs tabs = Tabs::Shown);

// A line of a file as harmless text for display: at most `limit` characters, made visible as
// above with tabs kept.
QString displayableLine(const std::string& line, int limit);
