#pragma once

#include <QObject>

// The application-wide tool-tip switch: while hints are off, no window shows a tool-tip.
class HintSwitch : public QObject {
    Q_OBJECT
public:
    explicit HintSwitch(QObject* parent = nullptr);

    bool hintsShown() const { return m_shown; }
    void setHintsShown(bool shown) { m_shown = shown; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_shown = true;
};
