#include "tests/support/FifoReaderWatch.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>

void FifoReaderWatch::watch() {
    const auto from = std::chrono::steady_clock::now() + m_after;
    while (!m_stop) {
        const int writer = std::chrono::steady_clock::now() < from
                               ? -1
                               : ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) {
            m_seen = true;
            ::close(writer);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
