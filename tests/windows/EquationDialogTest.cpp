#include <sys/resource.h>
#include <QCheckBox>
#include <QClipboard>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <csignal>

#include "app/Velmora.h"
#include "app/VelmoraProgram.h"
#include "modify/DistSpecification.h"
#include "modify/EntryChecks.h"
#include "platform/RunTimeError.h"
#include "store/DataStore.h"
#include "tests/support/TestFiles.h"
#include "tests/windows/WindowTestSupport.h"

namespace {

const char* const EquationFields[] = {"Constant1", "Coef1",     "Expon1",    "Constant2",
                                      "Coef2",     "Expon2",    "Constant3", "Coef3",
                                      "Expon3",    "Constant4", "Coef4",     "Expon4"};
const std::string SaveQuestion = "Do you want to save distances?";
const std::string NoScaling = "<<< NO SCALING OF DISTANCES IS NEEDED.  NONE WILL BE DONE >>>";

}  // namespace

class EquationDialogTest : public WindowTest {
    Q_OBJECT

private slots:
    void init() {
        // One test pins a locale of its own; the others run under the user's.
        QLocale::setDefault(QLocale::system());
        WindowTest::init();
        store->DataFileExt = ".EUC";
        store->MetricCode = 'E';
        const int32_t cells[3][3] = {{0, 120, 300}, {120, 0, 45}, {300, 45, 0}};
        for (int i = 1; i <= 3; ++i) {
            DistanceRow& row = store->DistanceMatrix.create(i);
            store->NodeTable.create(i);
            for (int j = 1; j <= 3; ++j) {
                row[j] = cells[i - 1][j - 1];
            }
        }
        store->NodeCount = 3;
        form = &start().DistEquationForm();
    }

    void firstShowingHasTheIdentityEquationsDisabled() {
        form->show();
        QCOMPARE(edit("CVDist")->text(), QString());
        for (const char* name : EquationFields) {
            QVERIFY(!edit(name)->isEnabled());
        }
        QVERIFY(!control<QLabel>(form, "LabelA")->isEnabled());
        QVERIFY(!control<QLabel>(form, "LabelL")->isEnabled());
        QVERIFY(!button("QuitAndRun")->isEnabled());
        QCOMPARE(edit("Constant1")->text(), localized("0.000"));
        QCOMPARE(edit("Coef3")->text(), localized("1.000"));
        QCOMPARE(edit("Expon4")->text(), localized("1.000000"));
        QCOMPARE(edit("ScaleDist")->text(), localized("10,000.00"));
        QVERIFY(control<QCheckBox>(form, "ScaleDistCheckBox")->isChecked());
        QVERIFY(edit("CVDist")->isEnabled() && edit("ScaleDist")->isEnabled());
        QVERIFY(button("ResetAll")->isEnabled() && button("CancelButton")->isEnabled());
    }

    void leavingTheCoverageFieldEnablesTheEquations() {
        QVERIFY(activate(form));
        typeInto(edit("CVDist"), QStringLiteral("150"));
        QTest::keyClick(edit("CVDist"), Qt::Key_Tab);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(form->settings().CoverageDistance, 150);
        QVERIFY(form->EquationsEnabled());
        for (const char* name : EquationFields) {
            QVERIFY(edit(name)->isEnabled());
        }
        QVERIFY(button("QuitAndRun")->isEnabled());
        // The fields were still disabled when Tab chose where the focus goes.
        QCOMPARE(QApplication::focusWidget(), button("CancelButton"));

        // Any key in a field disables the run button until the field is left.
        edit("Constant1")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(edit("Constant1"), Qt::Key_2);
        QVERIFY(!button("QuitAndRun")->isEnabled());
        QTest::keyClick(edit("Constant1"), Qt::Key_Tab);
        QVERIFY(button("QuitAndRun")->isEnabled());
        QCOMPARE(form->settings().equations.EquationConstant[0], 2.0);
    }

    // Edits that type no character bypass the key filter; they must still hold the run
    // button back until the field is left, or it would run with the stored value.
    void editsThatTypeNoCharacterDisableTheRunButton_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("after");
        for (const char* how :
             {"Delete", "Shift+Delete", "Shift+Insert", "menu Paste", "menu Delete"}) {
            const bool paste =
                QByteArray(how).endsWith("Paste") || QByteArray(how).endsWith("Insert");
            QTest::newRow(how) << QString::fromLatin1(how)
                               << (paste ? QStringLiteral("7") : QString());
        }
    }

    void editsThatTypeNoCharacterDisableTheRunButton() {
        QFETCH(QString, how);
        QFETCH(QString, after);
        QApplication::clipboard()->setText(QStringLiteral("7"));
        QVERIFY(activate(form));
        button("ResetAll")->click();
        QLineEdit* field = edit("Coef2");
        field->setFocus(Qt::TabFocusReason);
        field->selectAll();
        QVERIFY(button("QuitAndRun")->isEnabled());
        if (how == QLatin1String("Delete")) {
            QTest::keyClick(field, Qt::Key_Delete);
        } else if (how == QLatin1String("Shift+Delete")) {
            QTest::keyClick(field, Qt::Key_Delete, Qt::ShiftModifier);
        } else if (how == QLatin1String("Shift+Insert")) {
            QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
        } else {
            triggerMenuAction(field, how == QLatin1String("menu Paste") ? "Paste" : "Delete");
        }
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(field->text(), after);
        QVERIFY(!button("QuitAndRun")->isEnabled());
        // The program's own redisplay is no edit.
        button("ResetAll")->click();
        QVERIFY(button("QuitAndRun")->isEnabled());
    }

    void refusedKeysBeepAndInsertNothing() {
        QVERIFY(activate(form));
        prompts->beep(DefaultBeep).beep(DefaultBeep).beep(DefaultBeep);
        QTest::keyClicks(edit("CVDist"), QStringLiteral("1a"));
        QTest::keyClick(edit("CVDist"), Qt::Key_Return);
        QTest::keyClick(edit("CVDist"), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClicks(edit("CVDist"), QStringLiteral("-.5"));
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(edit("CVDist")->text(), QStringLiteral("1-.5"));
    }

    void coverageTextThatDoesNotConvertBecomesTen() {
        QVERIFY(activate(form));
        typeInto(edit("CVDist"), QStringLiteral("12.5"));
        prompts->beep(InformationBeep).box(BoxType::Warning, ConversionWarningText, Buttons::Ok);
        QTest::keyClick(edit("CVDist"), Qt::Key_Tab);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(form->settings().CoverageDistance, 10);
        QCOMPARE(edit("CVDist")->text(), QStringLiteral("10"));
        QVERIFY(form->EquationsEnabled());
    }

    void aBoxTakingTheFocusDoesNotRunTheCheckAgain() {
        QVERIFY(activate(form));
        typeInto(edit("CVDist"), QStringLiteral("12.5"));
        QFocusEvent toBox(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(edit("CVDist"), &toBox);
        QFocusEvent toPopup(QEvent::FocusOut, Qt::PopupFocusReason);
        QApplication::sendEvent(edit("CVDist"), &toPopup);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(edit("CVDist")->text(), QStringLiteral("12.5"));
        QVERIFY(!form->EquationsEnabled());
    }

    void showingAgainKeepsTheCoverageAndResetsTheRest() {
        QVERIFY(activate(form));
        typeInto(edit("CVDist"), QStringLiteral("-40"));
        QTest::keyClick(edit("CVDist"), Qt::Key_Tab);
        typeInto(edit("Constant1"), QStringLiteral("5"));
        QTest::keyClick(edit("Constant1"), Qt::Key_Tab);
        QCOMPARE(form->settings().equations.EquationConstant[0], 5.0);
        control<QCheckBox>(form, "ScaleDistCheckBox")->click();
        QVERIFY(!form->settings().ScaleRequested);
        typeInto(edit("ScaleDist"), QStringLiteral("500"));
        QTest::keyClick(edit("ScaleDist"), Qt::Key_Tab);
        QCOMPARE(form->settings().ScaleDistance, 500);
        button("CancelButton")->click();
        form->show();
        QCOMPARE(form->settings().ScaleDistance, 10000);
        QCOMPARE(edit("ScaleDist")->text(), localized("10,000.00"));
        QCOMPARE(edit("CVDist")->text(), QStringLiteral("-40"));
        QCOMPARE(form->settings().CoverageDistance, -40);
        QVERIFY(!form->EquationsEnabled());
        QCOMPARE(edit("Constant1")->text(), localized("0.000"));
        QVERIFY(form->settings().ScaleRequested);
        QVERIFY(control<QCheckBox>(form, "ScaleDistCheckBox")->isChecked());
    }

    void fieldsLeftUnchangedWithSeparatorsFallBackWithAWarning() {
        QVERIFY(activate(form));
        button("ResetAll")->click();
        edit("ScaleDist")->setFocus(Qt::TabFocusReason);
        prompts->beep(InformationBeep).box(BoxType::Warning, ConversionWarningText, Buttons::Ok);
        QTest::keyClick(edit("ScaleDist"), Qt::Key_Tab);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(form->settings().ScaleDistance, 10000);
        QCOMPARE(edit("ScaleDist")->text(), localized("10,000.00"));

        typeInto(edit("Coef2"), QStringLiteral("1000"));
        QTest::keyClick(edit("Coef2"), Qt::Key_Tab);
        QCOMPARE(edit("Coef2")->text(), localized("1,000.000"));
        edit("Coef2")->setFocus(Qt::TabFocusReason);
        prompts->box(BoxType::Warning, "Conversion Error", Buttons::Ok);
        QTest::keyClick(edit("Coef2"), Qt::Key_Tab);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(form->settings().equations.EquationCoefficient[1], 1000.0);
    }

    void rangesOfTheFields() {
        QVERIFY(activate(form));
        button("ResetAll")->click();
        typeInto(edit("Expon3"), localized("10.0001"));
        prompts->box(BoxType::Warning, rangeMessage("-10.00", "10.00"), Buttons::Ok);
        QTest::keyClick(edit("Expon3"), Qt::Key_Tab);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(edit("Expon3")->text(), localized("1.000000"));
        typeInto(edit("Expon3"), QStringLiteral("-10"));
        QTest::keyClick(edit("Expon3"), Qt::Key_Tab);
        QCOMPARE(form->settings().equations.EquationExponent[2], -10.0);

        typeInto(edit("Constant4"), QStringLiteral("1000000001"));
        prompts->box(BoxType::Warning, rangeMessage("0.00", "1000000000.00"), Buttons::Ok);
        QTest::keyClick(edit("Constant4"), Qt::Key_Tab);
        typeInto(edit("ScaleDist"), QStringLiteral("-1"));
        prompts->box(BoxType::Warning, "Invalid Parameter Value.  Must have 0 <= X <= 1000000000",
                     Buttons::Ok);
        QTest::keyClick(edit("ScaleDist"), Qt::Key_Tab);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(form->settings().ScaleDistance, 10000);
        QCOMPARE(form->settings().equations.EquationConstant[3], 0.0);
    }

    void resetAllRestoresTheEquationsOnly() {
        QVERIFY(activate(form));
        typeInto(edit("CVDist"), QStringLiteral("77"));
        QTest::keyClick(edit("CVDist"), Qt::Key_Tab);
        typeInto(edit("Coef1"), QStringLiteral("3"));
        QTest::keyClick(edit("Coef1"), Qt::Key_Tab);
        typeInto(edit("ScaleDist"), QStringLiteral("500"));
        QTest::keyClick(edit("ScaleDist"), Qt::Key_Tab);
        button("ResetAll")->click();
        QCOMPARE(form->settings().equations.EquationCoefficient[0], 1.0);
        QCOMPARE(edit("Coef1")->text(), localized("1.000"));
        QCOMPARE(form->settings().CoverageDistance, 77);
        QCOMPARE(form->settings().ScaleDistance, 500);
    }

    void theLocalesSeparatorsAreUsed() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(activate(form));
        QCOMPARE(edit("ScaleDist")->text(), QStringLiteral("10.000,00"));
        QCOMPARE(edit("Expon1")->text(), QStringLiteral("1,000000"));
        button("ResetAll")->click();
        typeInto(edit("Expon1"), QStringLiteral("2.5"));
        prompts->box(BoxType::Warning, "Conversion Error", Buttons::Ok);
        QTest::keyClick(edit("Expon1"), Qt::Key_Tab);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(form->settings().equations.EquationExponent[0], 1.0);
        // The comma is this locale's decimal separator: the key filter lets it through.
        typeInto(edit("Expon1"), QStringLiteral("2,5"));
        QTest::keyClick(edit("Expon1"), Qt::Key_Tab);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(form->settings().equations.EquationExponent[0], 2.5);
        QCOMPARE(edit("Expon1")->text(), QStringLiteral("2,500000"));
    }

    void runWritesTheTransformedMatrixAndReportsItsRecords() {
        QVERIFY(activate(form));
        enterCoverage("200");
        setEquation("Constant4", "1");
        setEquation("Coef4", "2");
        const std::string out = dir->file("new.EUD");
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
            .saveDialog(out)
            .box(BoxType::Information, NoScaling, Buttons::Ok)
            .box(BoxType::Information,
                 "<<< File [" + out + "] successfully written with 9 records >>>", Buttons::Ok);
        store->MatrixSaved = false;
        button("QuitAndRun")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(readBytes(out),
                 std::string("0\r\n120\r\n601\r\n120\r\n0\r\n45\r\n601\r\n45\r\n0\r\n"));
        QVERIFY(store->MatrixSaved);
        QCOMPARE(store->DistanceFileName, out);
        QVERIFY(!form->isVisible());
        QVERIFY(program->VelmoraMain().isVisible());
        const FileDialogSettings& save = prompts->dialogsRun().back();
        QCOMPARE(save.defaultExt, std::string("EUD"));
        QCOMPARE(save.filterIndex, 1);
        QCOMPARE(save.filter, std::string("Euclidean Distances|*.EUD|Great Circle "
                                          "Distances|*.GRD|Manhattan Distances|*.MAD|Network "
                                          "Distances|*.NED|All Files|*.*"));
    }

    // Fields the user passes through unchanged keep their values whatever the locale, so
    // the file is the same under every locale.
    void passingThroughShownValuesWritesTheSameFileInEveryLocale() {
        QVERIFY(activate(form));
        enterCoverage("200");
        setEquation("Coef4", "1000");
        QCOMPARE(edit("Coef4")->text(), localized("1,000.000"));
        edit("Coef4")->setFocus(Qt::TabFocusReason);
        prompts->box(BoxType::Warning, "Conversion Error", Buttons::Ok);
        QTest::keyClick(edit("Coef4"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), edit("Expon4"));
        QTest::keyClick(edit("Expon4"), Qt::Key_Tab);
        edit("ScaleDist")->setFocus(Qt::TabFocusReason);
        prompts->beep(InformationBeep).box(BoxType::Warning, ConversionWarningText, Buttons::Ok);
        QTest::keyClick(edit("ScaleDist"), Qt::Key_Tab);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(form->settings().ScaleDistance, 10000);
        QCOMPARE(form->settings().equations.EquationCoefficient[3], 1000.0);
        QCOMPARE(form->settings().equations.EquationExponent[3], 1.0);

        const std::string out = dir->file("scaled.EUD");
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
            .saveDialog(out)
            .box(BoxType::Information,
                 "<<< DISTANCES WILL BE SCALED SO MAXIMUM DISTANCE = " +
                     localized("10,000.0").toStdString() + " >>>",
                 Buttons::Ok)
            .box(BoxType::Information,
                 "<<< File [" + out + "] successfully written with 9 records >>>", Buttons::Ok);
        button("QuitAndRun")->click();
        VERIFY_PROMPTS(*prompts);
        // 300 becomes 300000 and is scaled to 10000; 120 to 4, 45 to 1.5 and so 2.
        QCOMPARE(readBytes(out),
                 std::string("0\r\n4\r\n10000\r\n4\r\n0\r\n2\r\n10000\r\n2\r\n0\r\n"));
    }

    void decliningToSaveAndToComputeChangesNothing() {
        store->DataFileExt = ".NET";
        QVERIFY(activate(form));
        button("ResetAll")->click();
        setEquation("Coef2", "3");
        store->MatrixSaved = false;
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
            .saveDialog({})
            .box(BoxType::Warning,
                 "No file name specified, so new distances will not be stored\rDo you want to "
                 "compute the new distances anyway?",
                 Buttons::YesNo, Answer::No)
            .box(BoxType::Warning, "<<< Distance matrix not modified and not saved ... WARNING >>>",
                 Buttons::Ok);
        button("QuitAndRun")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->DistanceMatrix[1][2], 120);
        QVERIFY(!store->MatrixSaved);
        QVERIFY(!form->isVisible());
        QCOMPARE(prompts->dialogsRun().back().defaultExt, std::string("NED"));
        QCOMPARE(prompts->dialogsRun().back().filterIndex, 4);
    }

    void computingWithoutAFileLeavesTheMatrixUnsaved() {
        QVERIFY(activate(form));
        button("ResetAll")->click();
        setEquation("Coef4", "100");
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::No)
            .box(BoxType::Warning,
                 "No file name specified, so new distances will not be stored\rDo you want to "
                 "compute the new distances anyway?",
                 Buttons::YesNo, Answer::Yes)
            .box(BoxType::Information,
                 "<<< DISTANCES WILL BE SCALED SO MAXIMUM DISTANCE = " +
                     localized("10,000.0").toStdString() + " >>>",
                 Buttons::Ok)
            .box(BoxType::Warning, "<<< Distance matrix modified, but not saved ... WARNING >>>",
                 Buttons::Ok);
        button("QuitAndRun")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->DistanceMatrix[1][3], 10000);
        QCOMPARE(store->DistanceMatrix[1][2], 4000);
        QCOMPARE(store->DistanceMatrix[2][3], 1500);
        QCOMPARE(store->DistanceMatrix[2][2], 0);
        QVERIFY(!store->MatrixSaved);
    }

    void cancelLeavesAnUnsavedMatrixUnsaved() {
        store->MatrixSaved = false;
        form->show();
        button("CancelButton")->click();
        QVERIFY(!store->MatrixSaved);
        QVERIFY(!form->isVisible());
        QVERIFY(program->VelmoraMain().isVisible());
    }

    void negativeDistancesAreRefusedBeforeAnyFileIsTouched() {
        store->DistanceMatrix[2][3] = -8;
        QVERIFY(activate(form));
        button("ResetAll")->click();
        prompts->box(BoxType::Warning,
                     "<<< Negative distance in row 2, column 3 ... WARNING >>>\rThe equations need "
                     "distances of 0 or more: nothing was changed or saved.",
                     Buttons::Ok);
        button("QuitAndRun")->click();
        VERIFY_PROMPTS(*prompts);
        QVERIFY(form->isVisible());
        QCOMPARE(store->DistanceMatrix[2][3], -8);
    }

    void anOutputThatCannotBeCreatedStopsWithTheDialogOpen() {
        QVERIFY(activate(form));
        button("ResetAll")->click();
        setEquation("Coef2", "3");
        store->MatrixSaved = false;
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
            .saveDialog(dir->file("no/such/folder.EUD"));
        QVERIFY_THROWS_EXCEPTION(InOutError, button("QuitAndRun")->click());
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->DistanceMatrix[1][2], 120);
        QVERIFY(!store->MatrixSaved);
        QVERIFY(form->isVisible());
    }

    void aWriteThatFailsKeepsTheOldFileAndMarksTheMatrixUnsaved() {
        QVERIFY(activate(form));
        button("ResetAll")->click();
        const std::string out = dir->write("full.EUD", "old\r\n");
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
            .saveDialog(out)
            .box(BoxType::Confirm, "File [" + out + "] exists.... Do you want to replace it?",
                 Buttons::YesNo, Answer::Yes)
            .box(BoxType::Information, NoScaling, Buttons::Ok)
            .box(BoxType::Warning, "<<< Fatal error writing file [" + out + "] >>>", Buttons::Ok);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = 10;
        setrlimit(RLIMIT_FSIZE, &limited);
        button("QuitAndRun")->click();
        setrlimit(RLIMIT_FSIZE, &saved);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(readBytes(out), std::string("old\r\n"));
        QCOMPARE(folderListing(dir->path()), std::string("full.EUD\n"));
        QVERIFY(!store->MatrixSaved);
        QVERIFY(!form->isVisible());
    }

    // Each field shows its widest admitted value whole; also run at 200% scale.
    void fieldsShowTheirWidestValuesWhole() {
        QVERIFY(activate(form));
        button("ResetAll")->click();
        enterCoverage("-2147483648");
        QVERIFY2(showsWholeText(edit("CVDist")), qPrintable(edit("CVDist")->text()));
        for (int n = 1; n <= 4; ++n) {
            for (const char* kind : {"Constant", "Coef"}) {
                const QByteArray name = kind + QByteArray::number(n);
                setEquation(name.constData(), "1000000000");
                QCOMPARE(edit(name.constData())->text(), localized("1,000,000,000.000"));
                QVERIFY2(showsWholeText(edit(name.constData())), name.constData());
            }
            const QByteArray name = "Expon" + QByteArray::number(n);
            setEquation(name.constData(), "-10");
            QCOMPARE(edit(name.constData())->text(), localized("-10.000000"));
            QVERIFY2(showsWholeText(edit(name.constData())), name.constData());
        }
        setEquation("ScaleDist", "1000000000");
        QCOMPARE(edit("ScaleDist")->text(), localized("1,000,000,000.00"));
        QVERIFY(showsWholeText(edit("ScaleDist")));
        VERIFY_PROMPTS(*prompts);
    }

    void everyControlHasAnAccessibleName() {
        QCOMPARE(controlsWithoutAUsefulName(form), QStringList());
        QCOMPARE(accessibleName(edit("Constant1")),
                 QStringLiteral("Constant, distances up to coverage, same node"));
        QCOMPARE(accessibleName(edit("Expon4")),
                 QStringLiteral("Exponent, distances beyond coverage, different nodes"));
        QCOMPARE(accessibleName(edit("CVDist")), QStringLiteral("Specify Coverage Distance"));
    }

    // The inner frames share their titles; each is announced with a name of its own.
    void eachEquationFrameHasANameOfItsOwn() {
        const QStringList frames = {"GroupBox1", "GroupBox4", "GroupBox2", "GroupBox3"};
        QStringList names;
        for (const QString& frame : frames) {
            names << accessibleName(control<QWidget>(form, qPrintable(frame)));
        }
        QCOMPARE(names, QStringList(
                            {"Node I EQUAL TO Node J, distances up to the coverage distance",
                             "Node I NOT EQUAL TO Node J, distances up to the coverage distance",
                             "Node I EQUAL TO Node J, distances greater than the coverage distance",
                             "Node I NOT EQUAL TO Node J, distances greater than the coverage "
                             "distance"}));
    }

    void lettersAreTheAcceleratorsOfTheirFields() {
        QVERIFY(activate(form));
        button("ResetAll")->click();
        QCOMPARE(control<QLabel>(form, "LabelK")->buddy(), edit("Coef4"));
        QCOMPARE(control<QLabel>(form, "Label1")->buddy(), edit("CVDist"));
        QTest::keyClick(form, Qt::Key_K, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), edit("Coef4"));
    }

private:
    // The range box of a real field, its bounds in the user's locale.
    static std::string rangeMessage(const char* min, const char* max) {
        return "Invalid Parameter Value.  Must have " + localized(min).toStdString() +
               " <= X <= " + localized(max).toStdString();
    }

    // What the field's context menu does when the user picks the action named `name`.
    static void triggerMenuAction(QLineEdit* field, const char* name) {
        std::unique_ptr<QMenu> menu(field->createStandardContextMenu());
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text().remove(QLatin1Char('&')).startsWith(QLatin1String(name))) {
                chosen = action;
            }
        }
        QVERIFY2(chosen && chosen->isEnabled(), name);
        chosen->trigger();
    }

    QLineEdit* edit(const char* name) { return control<QLineEdit>(form, name); }
    QPushButton* button(const char* name) { return control<QPushButton>(form, name); }

    void enterCoverage(const char* text) {
        typeInto(edit("CVDist"), QString::fromLatin1(text));
        QTest::keyClick(edit("CVDist"), Qt::Key_Tab);
    }

    void setEquation(const char* field, const char* text) {
        typeInto(edit(field), QString::fromLatin1(text));
        QTest::keyClick(edit(field), Qt::Key_Tab);
    }

    TDistEquationForm* form = nullptr;
};

VELMORA_TEST_MAIN(EquationDialogTest)
#include "EquationDialogTest.moc"
