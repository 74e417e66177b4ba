#pragma once

#include <QElapsedTimer>
#include <QObject>

// Times the coverage preview for bench/preview-trace.sh: from the key that leaves the
// coverage field, or from the click that opens the preview, to the end of the repaint,
// written to the error output. Idle unless VELMORA_PREVIEW_TRACE is set.
class PreviewTrace : public QObject {
    Q_OBJECT
public:
    explicit PreviewTrace(QObject* parent);

    void begin(const char* what);
    void painted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_active = false;
    const char* m_what = nullptr;
    QElapsedTimer m_clock;
};
