#pragma once

#include <string>

#include "platform/UniqueFd.h"

// Where a save of a path goes: the folder, open, and the name in it. Every folder on the way
// is entered by its descriptor, so nothing can be swapped in behind a check.
struct SavePlace {
    UniqueFd folder;
    std::string name;
};

// Walks `target` part by part as the kernel would, following symbolic links, with the
// kernel's rule for shared folders applied to every part: in a folder anyone may write that
// has the sticky bit, a link is followed only when it belongs to the user running the program
// or to the folder's owner. A link as the last part is followed only when it belongs to the
// user. Throws InOutError (action `action`, naming `target`) for a link refused, a loop of
// links, a part that is not a folder, or a name that can only be a folder.
SavePlace findSavePlace(const std::string& target, const std::string& action);
