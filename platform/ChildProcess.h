#pragma once

#include <sys/types.h>

// Waits, through interruptions, until the child process ends; returns its exit status, the
// errno value when it cannot be waited for, or EIO when it did not end by exiting.
int waitForChild(pid_t child);
