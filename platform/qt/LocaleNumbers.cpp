#include "platform/qt/LocaleNumbers.h"

#include <QLocale>

NumberSeparators localeSeparators() {
    const QLocale locale;
    NumberSeparators separators;
    const QString decimal = locale.decimalPoint();
    separators.decimal = decimal.size() == 1 && decimal[0].unicode() < 128
                             ? static_cast<char>(decimal[0].unicode())
                             : '.';
    separators.thousands = locale.groupSeparator().toStdString();
    return separators;
}
