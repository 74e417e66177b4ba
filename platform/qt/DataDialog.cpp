#include "platform/qt/DataDialog.h"

#include <QCloseEvent>
#include <QShowEvent>

#include "platform/qt/FocusVisible.h"
#include "platform/qt/WindowPlacement.h"
#include "platform/qt/WindowRoles.h"

DataDialog::DataDialog()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    announceAsDialog(this);
    showFocusFromTheStart(this);
}

void DataDialog::fixSizeAndCentre() {
    setFixedSize(size());
    centerOnScreen(this);
}

void DataDialog::leaveDialog() {
    hide();
    emit showMainWindow();
}

void DataDialog::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        formShown();
    }
}

void DataDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
}
