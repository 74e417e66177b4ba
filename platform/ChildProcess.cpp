#include "platform/ChildProcess.h"

#include <sys/wait.h>

#include <cerrno>

int waitForChild(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : EIO;
}
