#include "platform/qt/QtPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "platform/qt/DisplayableLine.h"

QStringList nameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns == QLatin1String("*.*")) {
            patterns = QStringLiteral("*");
        }
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

QString boxText(const std::string& text) {
    // Carriage returns, alone or before a line feed, are the messages' line breaks; every
    // other control from a file or its name is shown, not obeyed.
    QString shown;
    std::size_t start = 0;
    while (true) {
        const std::size_t cr = text.find('\r', start);
        shown += visibleText(std::string_view(text).substr(start, cr - start));
        if (cr == std::string::npos) {
            return shown;
        }
        shown += QLatin1Char('\n');
        start = cr + (text.compare(cr, 2, "\r\n") == 0 ? 2 : 1);
    }
}

Answer QtPrompts::messageBox(BoxType type, const std::string& text, Buttons buttons) {
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(boxTitle(type)));
    box.setTextFormat(Qt::PlainText);
    box.setText(boxText(text));
    switch (type) {
        case BoxType::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case BoxType::Error:
        case BoxType::Application:
            box.setIcon(QMessageBox::Critical);
            break;
        case BoxType::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case BoxType::Confirm:
            box.setIcon(QMessageBox::Question);
            break;
    }
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

void QtPrompts::messageBeep(unsigned) {
    QApplication::beep();
}

std::optional<std::string> QtPrompts::askOpenFileName(FileDialogSettings& dialog) {
    return askFileName(dialog, false);
}

std::optional<std::string> QtPrompts::askSaveFileName(FileDialogSettings& dialog) {
    return askFileName(dialog, true);
}

void setUpFileDialog(QFileDialog& fileDialog, const FileDialogSettings& dialog, bool save) {
    // The toolkit's own dialog: the same on every desktop, and it matches patterns
    // regardless of case, as users' upper-case extensions need.
    fileDialog.setOption(QFileDialog::DontUseNativeDialog);
    fileDialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The open dialogs let a name be typed that does not exist; the program reports it.
    fileDialog.setFileMode(QFileDialog::AnyFile);
    // The program asks its own replace question.
    fileDialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = nameFilters(dialog.filter);
    fileDialog.setNameFilters(filters);
    if (dialog.filterIndex >= 1 && dialog.filterIndex <= filters.size()) {
        fileDialog.selectNameFilter(filters[dialog.filterIndex - 1]);
    }
    fileDialog.setDefaultSuffix(QString::fromStdString(dialog.defaultExt));
    // Choosing a file makes its folder the current one; the toolkit would open where its
    // first dialog opened.
    fileDialog.setDirectory(QDir::currentPath());
    if (!dialog.fileName.empty()) {
        fileDialog.selectFile(QString::fromStdString(dialog.fileName));
    }
}

std::optional<std::string> QtPrompts::askFileName(FileDialogSettings& dialog, bool save) {
    QFileDialog fileDialog;
    setUpFileDialog(fileDialog, dialog, save);
    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const qsizetype chosenFilter =
        fileDialog.nameFilters().indexOf(fileDialog.selectedNameFilter());
    if (chosenFilter >= 0) {
        dialog.filterIndex = static_cast<int>(chosenFilter) + 1;
    }
    return QFileInfo(fileDialog.selectedFiles().first()).absoluteFilePath().toStdString();
}
