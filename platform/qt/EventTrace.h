#pragma once

// For the window benchmarks (bench/window-trace.sh, bench/preview-trace.sh) only: when
// VELMORA_EVENT_TRACE names a file, the moments the user presses keys and clicks buttons,
// windows come up and the windows note their own steps are appended to it, one line each:
// microseconds since the trace began, what happened, and to what.

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

    // Records a step of the program's own (a chart painted) when a trace is being written.
    static void note(const char* what, const QString& detail);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit EventTrace(std::FILE* file);
    void record(const char* what, const QString& detail);

    std::FILE* m_file;
    QElapsedTimer m_clock;
};
