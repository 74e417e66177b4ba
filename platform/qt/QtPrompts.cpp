#include "platform/qt/QtPrompts.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// What the task's thread reports and the dialog shows.
class SharedProgress : public TaskProgress {
public:
    struct Snapshot {
        std::string text;
        long long steps = 0;
        long long done = 0;
    };

    void stage(const std::string& text, long long steps) override {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_text = text;
        m_steps = steps;
        m_done = 0;
    }
    void advance() override { ++m_done; }
    void advanceTo(long long done) override { m_done = done; }
    bool cancelled() const override { return m_cancelled; }

    void cancel() { m_cancelled = true; }
    Snapshot snapshot() const {
        const std::lock_guard<std::mutex> hold(m_lock);
        return {m_text, m_steps, m_done};
    }

private:
    mutable std::mutex m_lock;
    std::string m_text;
    long long m_steps = 0;
    std::atomic<long long> m_done{0};
    std::atomic<bool> m_cancelled{false};
};

constexpr std::chrono::milliseconds ShowAfter{300};
constexpr std::chrono::seconds StopWithinOnExit{2};
constexpr int RefreshMilliseconds = 50;

}  // namespace

#include "platform/RunTimeError.h"
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

void QtPrompts::showProgress(const std::string& title,
                             const std::function<void(TaskProgress&)>& task) {
    SharedProgress progress;
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
    std::thread worker;
    try {
        worker = std::thread([&] {
            try {
                task(progress);
                finished.set_value();
            } catch (...) {
                finished.set_exception(std::current_exception());
            }
        });
    } catch (const std::system_error& error) {
        throw RunTimeError("Cannot start a thread: " + error.code().message());
    }
    // Whatever leaves this function, the task is told to stop and waited for first.
    struct Joined {
        std::thread& worker;
        SharedProgress& progress;
        ~Joined() {
            if (worker.joinable()) {
                progress.cancel();
                worker.join();
            }
        }
    } joined{worker, progress};
    if (done.wait_for(ShowAfter) != std::future_status::ready) {
        QProgressDialog dialog;
        dialog.setWindowTitle(QString::fromStdString(title));
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setCancelButtonText(QStringLiteral("&Cancel"));
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        dialog.setMinimumDuration(0);
        dialog.setMinimumWidth(360);
        auto* bar = new QProgressBar(&dialog);
        dialog.setBar(bar);
        QEventLoop loop;
        const auto refresh = [&] {
            if (done.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
                loop.quit();
                return;
            }
            if (progress.cancelled()) {
                return;
            }
            const SharedProgress::Snapshot now = progress.snapshot();
            dialog.setLabelText(QString::fromStdString(now.text));
            // A screen reader names the bar by the stage it shows.
            bar->setAccessibleName(dialog.labelText());
            dialog.setMaximum(static_cast<int>(now.steps));
            dialog.setValue(static_cast<int>(std::min(now.done, now.steps)));
        };
        QTimer timer;
        timer.setInterval(RefreshMilliseconds);
        QObject::connect(&timer, &QTimer::timeout, &dialog, refresh);
        QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] {
            progress.cancel();
            dialog.setLabelText(QStringLiteral("Cancelling..."));
        });
        refresh();
        dialog.show();
        timer.start();
        const int exitCode = loop.exec();
        // Only the program's exit ends the loop before the task; a task that does not stop
        // when told to (waiting on a file system that stopped answering) must not keep the
        // process alive once its windows are gone.
        if (done.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            progress.cancel();
            if (done.wait_for(StopWithinOnExit) != std::future_status::ready) {
                std::_Exit(exitCode);
            }
        }
    }
    worker.join();
    done.get();
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
