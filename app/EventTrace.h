#pragma once

// For the window benchmark (bench/window-trace.sh) only: when VELMORA_EVENT_TRACE names a
// file, the moments the user presses keys and clicks buttons and windows come up are appended
// to it, one line each: microseconds since the trace began, what happened, and to what.

#include <QElapsedTimer>
#include <QObject>
#include <cstdio>
#include <memory>

class QString;

class EventTrace : public QObject {
public:
    // None when the variable is not set or its file cannot be opened.
    static std::unique_ptr<EventTrace> fromEnvironment();
    ~EventTrace() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit EventTrace(std::FILE* file);
    void record(const char* what, const QString& detail);

    std::FILE* m_file;
    QElapsedTimer m_clock;
};
