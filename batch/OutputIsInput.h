#pragma once

// An output that is one of the verb's own inputs would be replaced before it was read, losing
// the user's file: refused as bad usage before anything is read or written.

#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace batch {

// The reason when an output option of the parsed `verb` names the same file as an input
// option, by any name (a link, a hard link, another path).
std::optional<std::string> outputThatIsAnInput(const CLI::App& verb);

}  // namespace batch
