#pragma once

#include <QElapsedTimer>
#include <QObject>

// Times the coverage preview for bench/preview-trace.sh: from the click that opens the
// preview, and from each key that leaves the coverage field, to the end of the repaint,
// written to the error output. Idle unless VELMORA_PREVIEW_TRACE is set.
class PreviewTrace : public QObject {
    Q_OBJECT
public:
    static void begin(const char* what);
    static void painted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PreviewTrace();
    // Created on first use; from then on it watches the keys that leave the coverage field.
    static PreviewTrace* active();

    const char* m_what = nullptr;
    QElapsedTimer m_clock;
};
