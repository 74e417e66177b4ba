#include "preview/PreviewTrace.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <cstdio>

PreviewTrace::PreviewTrace() : QObject(QCoreApplication::instance()) {
    QCoreApplication::instance()->installEventFilter(this);
}

PreviewTrace* PreviewTrace::active() {
    static PreviewTrace* const trace =
        qEnvironmentVariableIsSet("VELMORA_PREVIEW_TRACE") ? new PreviewTrace : nullptr;
    return trace;
}

void PreviewTrace::begin(const char* what) {
    if (PreviewTrace* trace = active()) {
        trace->m_what = what;
        trace->m_clock.start();
    }
}

void PreviewTrace::painted() {
    PreviewTrace* trace = active();
    if (!trace || !trace->m_what) {
        return;
    }
    const QByteArray line = QByteArray("velmora preview trace: ") + trace->m_what + ' ' +
                            QByteArray::number(trace->m_clock.nsecsElapsed() / 1e6, 'f', 1) +
                            " ms\n";
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
    trace->m_what = nullptr;
}

bool PreviewTrace::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->objectName() == QLatin1String("CVDist")) {
        const int key = static_cast<const QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            begin("redraw");
        }
    }
    return QObject::eventFilter(watched, event);
}
