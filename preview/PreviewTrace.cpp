#include "preview/PreviewTrace.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <cstdio>

PreviewTrace::PreviewTrace(QObject* parent)
    : QObject(parent), m_active(qEnvironmentVariableIsSet("VELMORA_PREVIEW_TRACE")) {
    if (m_active) {
        QCoreApplication::instance()->installEventFilter(this);
    }
}

void PreviewTrace::begin(const char* what) {
    if (m_active) {
        m_what = what;
        m_clock.start();
    }
}

void PreviewTrace::painted() {
    if (!m_what) {
        return;
    }
    const QByteArray line = QByteArray("velmora preview trace: ") + m_what + ' ' +
                            QByteArray::number(m_clock.nsecsElapsed() / 1e6, 'f', 1) + " ms\n";
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
    m_what = nullptr;
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
