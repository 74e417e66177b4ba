#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

// Tells whether anything opened a FIFO for reading while it was watched, and releases
// such a reader at once (an opened writer end lets its open return, the close gives it
// end of file), so a fault shows as a failure rather than a hang. Watching only from `after`
// on sees only a reader that waits for a writer, not one that opened without waiting.
class FifoReaderWatch {
public:
    explicit FifoReaderWatch(std::string path, std::chrono::milliseconds after = {})
        : m_path(std::move(path)), m_after(after), m_thread([this] { watch(); }) {}
    ~FifoReaderWatch() {
        m_stop = true;
        m_thread.join();
    }
    bool readerSeen() const { return m_seen; }

private:
    void watch();

    std::string m_path;
    std::chrono::milliseconds m_after;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_seen{false};
    std::thread m_thread;
};
