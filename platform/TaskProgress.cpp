#include "platform/TaskProgress.h"

void TaskProgress::checkCancelled() const {
    if (cancelled()) {
        throw TaskCancelled();
    }
}
