#include "platform/qt/WindowRoles.h"

#include <QAccessibleWidget>
#include <QDialog>
#include <QWidget>

namespace {

const char* const DialogProperty = "announcedAsDialog";

// Asked first with the object's own class: a window built on a bare widget gets its role
// here, before the toolkit takes it for a filler.
QAccessibleInterface* windowRole(const QString& className, QObject* object) {
    auto* window = qobject_cast<QWidget*>(object);
    if (!window || !window->isWindow() || qobject_cast<QDialog*>(window) ||
        className != QLatin1String(object->metaObject()->className())) {
        return nullptr;
    }
    return new QAccessibleWidget(window, window->property(DialogProperty).toBool()
                                             ? QAccessible::Dialog
                                             : QAccessible::Window);
}

}  // namespace

void installWindowRoles() {
    static const bool installed = [] {
        QAccessible::installFactory(windowRole);
        return true;
    }();
    (void)installed;
}

void announceAsDialog(QWidget* window) {
    window->setProperty(DialogProperty, true);
}
