#pragma once

#include <string>

// Gives the open file `file` the extended attributes that `name` in the open folder `folder`
// has, its access list among them, and drops an access list the old file did not have, so
// that a file that replaces another is open to no one the old one was not. Returns 0, or the
// errno value of the first attribute that could not be given.
int copyExtendedAttributes(int folder, const std::string& name, int file);
