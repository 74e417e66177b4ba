#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/Velmora.h"
#include "app/VelmoraApplication.h"
#include "app/VelmoraProgram.h"
#include "loading/LoadDataVelmora.h"
#include "platform/RunTimeError.h"
#include "platform/qt/QtPrompts.h"
#include "store/DataStore.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestFiles.h"
#include "tests/windows/WindowTestSupport.h"

namespace {
int argc = 1;
char name[] = "ErrorBoxTest";
char* argv[] = {name, nullptr};
ScriptedPrompts prompts;
}  // namespace

// What reaches the application's error box, under the real application object that catches
// what a handler leaves uncaught.
class ErrorBoxTest : public QObject {
    Q_OBJECT

private slots:
    void init() { prompts.clear(); }

    void anEmptyDemandFileStopsTheLoadWithItsMessageAndTheDialogOpen() {
        TempDir dir;
        TDataStore store;
        VelmoraProgram program(prompts, store);
        TLoadDataVelmoraForm* form = &program.LoadDataVelmoraForm();
        form->show();
        control<QRadioButton>(form, "Euclidean")->click();
        const std::string empty = dir.write("empty.EUC", "");
        prompts.openDialog(empty);
        control<QPushButton>(form, "SpecifyDemand")->click();
        control<QRadioButton>(form, "ComputeDistances")->click();
        VERIFY_PROMPTS(prompts);

        prompts.box(BoxType::Application, "No nodes in file \"" + empty + "\".", Buttons::Ok);
        QPushButton* load = control<QPushButton>(form, "ExitAndLoadData");
        QTest::mouseClick(load, Qt::LeftButton);
        QTRY_VERIFY2(prompts.satisfied(), prompts.report().c_str());
        QVERIFY(form->isVisible());
        QVERIFY(load->isEnabled());
        QVERIFY(!control<QPushButton>(&program.VelmoraMain(), "ModifyDist")->isEnabled());
        QVERIFY(!store.DistanceMatrix.holds(1));
    }

    void theErrorBoxShowsTheWholeMessagePastANul() {
        const std::string field =
            std::string("'0") + '\0' + "x' is not a valid floating point value";
        prompts.box(BoxType::Application, field + ".", Buttons::Ok);
        bool thrown = false;
        QTimer::singleShot(0, this, [&] {
            thrown = true;
            throw ConversionError(field);
        });
        QTRY_VERIFY(thrown);
        VERIFY_PROMPTS(prompts);
    }

    // Choosing a file makes its folder the current one; every file dialog after it opens
    // there, not where the first one did.
    void fileDialogsOpenInTheFolderLastChosenFrom() {
        TempDir dir;
        std::filesystem::create_directory(dir.file("first"));
        std::filesystem::create_directory(dir.file("second"));
        FileDialogSettings settings;
        settings.filter = "Distance Files|*.EUD|All Files|*.*";
        for (const char* folder : {"first", "second"}) {
            std::filesystem::current_path(dir.file(folder));
            QFileDialog dialog;
            setUpFileDialog(dialog, settings, true);
            QCOMPARE(dialog.directory().absolutePath(), QString::fromStdString(dir.file(folder)));
        }
        // A name with a folder of its own opens in that folder.
        settings.fileName = dir.file("first/old.EUD");
        QFileDialog named;
        setUpFileDialog(named, settings, true);
        QCOMPARE(named.directory().absolutePath(), QString::fromStdString(dir.file("first")));
        std::filesystem::current_path(std::filesystem::temp_directory_path());
    }

    void boxesShowControlCharactersAsSymbolsAndCarriageReturnsAsLineBreaks() {
        const struct {
            std::string text;
            QString shown;
        } cases[] = {
            {"File [plain.EUD] exists", QStringLiteral("File [plain.EUD] exists")},
            {"first\rsecond", QStringLiteral("first\nsecond")},
            {"first\r\nsecond", QStringLiteral("first\nsecond")},
            {"'1\t2'", QStringLiteral("'1\u24092'")},
            {std::string("x\0y", 3), QStringLiteral("x\u2400y")},
            {"\x1b[31mred", QStringLiteral("\u241b[31mred")},
            {"a\nb", QStringLiteral("a\u240ab")},
            {"del\x7f", QStringLiteral("del\u2421")},
            {"caf\xc3\xa9", QStringLiteral("caf\u00e9")},
            {"csi\xc2\x9b"
             "31m st\xc2\x9c",
             QStringLiteral("csi\uFFFD31m st\uFFFD")},
            {"txt.\xe2\x80\xae"
             "EXE",
             QStringLiteral("txt.\uFFFDEXE")},
            {"\xe2\x81\xa6x\xe2\x81\xa9\xe2\x80\x8f", QStringLiteral("\uFFFDx\uFFFD\uFFFD")},
            {"bad\xff\xc0\xaf", QStringLiteral("bad\uFFFD\uFFFD\uFFFD")},
            {"nbsp\xc2\xa0", QStringLiteral("nbsp\u00a0")},
        };
        for (const auto& [text, shown] : cases) {
            QCOMPARE(boxText(text), shown);
        }
    }

    // The real boxes: each type's title, the buttons asked for, Return takes the default (Yes)
    // and Escape answers No; a file name that looks like markup is shown as it is.
    void realBoxesShowTheirTitleAndButtonsAndReturnTheAnswer() {
        using Std = QMessageBox::StandardButton;
        const struct {
            BoxType type;
            Buttons buttons;
            Qt::Key key;
            QString title;
            QMessageBox::StandardButtons shown;
            Answer answer;
        } cases[] = {
            {BoxType::Warning, Buttons::YesNo, Qt::Key_Return, QStringLiteral("Warning"),
             Std::Yes | Std::No, Answer::Yes},
            {BoxType::Error, Buttons::Ok, Qt::Key_Return, QStringLiteral("Error"), Std::Ok,
             Answer::Ok},
            {BoxType::Information, Buttons::Ok, Qt::Key_Escape, QStringLiteral("Information"),
             Std::Ok, Answer::Ok},
            {BoxType::Confirm, Buttons::YesNo, Qt::Key_Escape, QStringLiteral("Confirm"),
             Std::Yes | Std::No, Answer::No},
            {BoxType::Application, Buttons::Ok, Qt::Key_Return, QStringLiteral("VELMORA Program"),
             Std::Ok, Answer::Ok},
        };
        for (const auto& expected : cases) {
            QtPrompts real;
            QString title;
            QMessageBox::StandardButtons shown;
            Qt::TextFormat format = Qt::AutoText;
            QTimer poll;
            poll.setInterval(10);
            connect(&poll, &QTimer::timeout, this, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) {
                    return;
                }
                poll.stop();
                title = box->windowTitle();
                shown = box->standardButtons();
                format = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->textFormat();
                QTest::keyClick(box, expected.key);
            });
            poll.start();
            QCOMPARE(real.messageBox(expected.type, "File [<b>a&amp;b</b>.EUD]", expected.buttons),
                     expected.answer);
            QCOMPARE(title, expected.title);
            QCOMPARE(shown, expected.shown);
            QCOMPARE(format, Qt::PlainText);
        }
    }
};

int main() {
    requireInstalledLocale();
    VelmoraApplication application(argc, argv, prompts);
    ErrorBoxTest test;
    return QTest::qExec(&test);
}

#include "ErrorBoxTest.moc"
