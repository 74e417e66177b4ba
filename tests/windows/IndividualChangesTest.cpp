#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "app/Velmora.h"
#include "app/VelmoraProgram.h"
#include "modify/EntryChecks.h"
#include "modify/IndivChange.h"
#include "platform/RunTimeError.h"
#include "store/DataStore.h"
#include "tests/support/TestFiles.h"
#include "tests/windows/WindowTestSupport.h"

namespace {
const std::string SaveQuestion = "Do you want to save distances?";
}  // namespace

class IndividualChangesTest : public WindowTest {
    Q_OBJECT

private slots:
    void init() {
        WindowTest::init();
        store->DataFileExt = ".GRT";
        loadNodes(4);
        form = &start().IndividualChanges();
    }

    void showingStartsWithNoSelection() {
        QVERIFY(activate(form));
        select("3", "4");
        form->hide();
        form->show();
        QCOMPARE(edit("RowNo")->text(), QString());
        QCOMPARE(edit("ColNo")->text(), QString());
        QVERIFY(valueControlsHidden());
        QCOMPARE(form->SelectedRow(), -1);
        QCOMPARE(form->SelectedColumn(), -1);
        leave("RowNo", "2");
        QVERIFY(valueControlsHidden());
    }

    // A click into a dialog that another window has the keyboard from moves the focus before
    // the dialog is active again: the row field is never left, so no row may be chosen.
    void aColumnClickedWhileAnotherWindowIsActiveFindsNoRowFromAnEarlierShowing() {
        QVERIFY(activate(form));
        select("3", "4");
        button("Cancel")->click();
        reopen();
        QWidget other;
        QVERIFY(activate(&other));
        QTest::mouseClick(edit("ColNo"), Qt::LeftButton);
        QVERIFY(activate(form));
        QCOMPARE(QApplication::focusWidget(), edit("ColNo"));
        QTest::keyClicks(edit("ColNo"), QStringLiteral("2"));
        QTest::keyClick(edit("ColNo"), Qt::Key_Tab);
        VERIFY_PROMPTS(*prompts);
        QVERIFY(valueControlsHidden());
        QCOMPARE(form->SelectedRow(), -1);
    }

    void aNewValueChangesThatCellOnly() {
        QVERIFY(activate(form));
        select("3", "4");
        QVERIFY(!valueControlsHidden());
        QCOMPARE(edit("OldDist")->text(), QStringLiteral("34"));
        QCOMPARE(edit("NewDist")->text(), QString());
        leave("NewDist", "120");
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->DistanceMatrix[3][4], 120);
        QCOMPARE(store->DistanceMatrix[4][3], 43);
        QVERIFY(!store->MatrixSaved);
        QCOMPARE(edit("OldDist")->text(), QStringLiteral("34"));
        // Entering the row again refreshes the old value and empties the new one.
        leave("RowNo", "3");
        QCOMPARE(edit("OldDist")->text(), QStringLiteral("120"));
        QCOMPARE(edit("NewDist")->text(), QString());
    }

    void leavingASelectorThatHidesTheNewValueFieldStoresNothing() {
        QVERIFY(activate(form));
        select("2", "3");
        leave("NewDist", "120");
        QCOMPARE(store->DistanceMatrix[2][3], 120);
        // Text left in the new-value field stays when a selector hides the field.
        edit("NewDist")->setText(QStringLiteral("99"));
        // Back to the row field, emptied; then a click on the new-value field, which the
        // row's exit hides while it takes the focus.
        edit("RowNo")->setFocus(Qt::MouseFocusReason);
        edit("RowNo")->clear();
        QTest::mouseClick(edit("NewDist"), Qt::LeftButton);
        VERIFY_PROMPTS(*prompts);
        QVERIFY(valueControlsHidden());
        QCOMPARE(store->DistanceMatrix[2][3], 120);
    }

    void altCombinationsTypeNothing() {
        QVERIFY(activate(form));
        QTest::keyClick(edit("RowNo"), Qt::Key_5, Qt::AltModifier);
        QTest::keyClick(edit("RowNo"), Qt::Key_Z, Qt::AltModifier);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(edit("RowNo")->text(), QString());
        QVERIFY(button("QuitAndSave")->isEnabled());
    }

    void emptyOrOutOfRangeNewValuesChangeNothing() {
        QVERIFY(activate(form));
        select("1", "2");
        edit("NewDist")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(edit("NewDist"), Qt::Key_Tab);
        prompts->box(BoxType::Warning, "Invalid Parameter Value.  Must have 0 <= X <= 10000",
                     Buttons::Ok);
        leave("NewDist", "20000");
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(store->DistanceMatrix[1][2], 12);
        QCOMPARE(edit("NewDist")->text(), QStringLiteral("-1"));
        QVERIFY(store->MatrixSaved);
    }

    void rowZeroIsOutOfRangeAndHidesTheValueControls() {
        QVERIFY(activate(form));
        select("2", "2");
        prompts->box(BoxType::Warning, "Invalid Parameter Value.  Must have 1 <= X <= 4",
                     Buttons::Ok);
        leave("RowNo", "0");
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(edit("RowNo")->text(), QStringLiteral("-1"));
        QVERIFY(valueControlsHidden());
    }

    void textPastedPastTheFilterGetsBothBoxesInOrder() {
        loadNodes(25);
        QVERIFY(activate(form));
        edit("RowNo")->setFocus(Qt::TabFocusReason);
        edit("RowNo")->setText(QStringLiteral("abc"));
        prompts->beep(InformationBeep)
            .box(BoxType::Warning, ConversionWarningText, Buttons::Ok)
            .box(BoxType::Warning, "Invalid Parameter Value.  Must have 1 <= X <= 25", Buttons::Ok);
        QTest::keyClick(edit("RowNo"), Qt::Key_Tab);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(edit("RowNo")->text(), QStringLiteral("-1"));
    }

    void typingDisablesTheSaveButtonUntilTheFieldIsLeft() {
        QVERIFY(activate(form));
        // A refused key disables it too.
        prompts->beep(DefaultBeep);
        QTest::keyClick(edit("RowNo"), Qt::Key_Return);
        VERIFY_PROMPTS(*prompts);
        QVERIFY(!button("QuitAndSave")->isEnabled());
        QCOMPARE(edit("RowNo")->text(), QString());
        QTest::keyClick(edit("RowNo"), Qt::Key_2);
        QVERIFY(!button("QuitAndSave")->isEnabled());
        prompts->beep(DefaultBeep);
        QTest::keyClick(edit("RowNo"), Qt::Key_X);
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(edit("RowNo")->text(), QStringLiteral("2"));
        QTest::keyClick(edit("RowNo"), Qt::Key_Tab);
        QVERIFY(button("QuitAndSave")->isEnabled());
        QCOMPARE(form->SelectedRow(), 2);
    }

    // An emptied field is left without a check; undoing that from the context menu brings
    // back unchecked text, so the save button must wait for the field to be left again.
    void undoFromTheContextMenuDisablesTheSaveButton() {
        QVERIFY(activate(form));
        leave("RowNo", "2");
        edit("RowNo")->setFocus(Qt::TabFocusReason);
        edit("RowNo")->selectAll();
        QTest::keyClick(edit("RowNo"), Qt::Key_Backspace);
        QTest::keyClick(edit("RowNo"), Qt::Key_Tab);
        QVERIFY(button("QuitAndSave")->isEnabled());
        edit("RowNo")->setFocus(Qt::MouseFocusReason);
        std::unique_ptr<QMenu> menu(edit("RowNo")->createStandardContextMenu());
        QAction* undo = menu->actions().value(0);
        QVERIFY(undo && undo->isEnabled());
        undo->trigger();
        QCOMPARE(edit("RowNo")->text(), QStringLiteral("2"));
        QVERIFY(!button("QuitAndSave")->isEnabled());
        VERIFY_PROMPTS(*prompts);
    }

    void tabFromTheFieldThatShowsTheNewValueFieldLandsInIt() {
        QVERIFY(activate(form));
        typeInto(edit("RowNo"), QStringLiteral("3"));
        QTest::keyClick(edit("RowNo"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), edit("ColNo"));
        QTest::keyClicks(edit("ColNo"), QStringLiteral("4"));
        QTest::keyClick(edit("ColNo"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), edit("NewDist"));
        QTest::keyClicks(edit("NewDist"), QStringLiteral("120"));
        QTest::keyClick(edit("NewDist"), Qt::Key_Tab);
        QCOMPARE(store->DistanceMatrix[3][4], 120);
        QCOMPARE(QApplication::focusWidget(), button("Cancel"));

        // Column first, then the row: the row field makes it appear.
        button("Cancel")->click();
        reopen();
        leave("ColNo", "2");
        typeInto(edit("RowNo"), QStringLiteral("1"));
        QTest::keyClick(edit("RowNo"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), edit("NewDist"));
        // Backwards the order stays as it is.
        leave("RowNo", "4");
        edit("ColNo")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(edit("ColNo"), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), edit("RowNo"));
        VERIFY_PROMPTS(*prompts);
    }

    void aNewShowingStartsInTheRowFieldWithTheSaveButtonEnabled() {
        QVERIFY(activate(form));
        select("1", "2");
        QTest::keyClicks(edit("ColNo"), QStringLiteral("3"));
        QVERIFY(!button("QuitAndSave")->isEnabled());
        QTest::keyClick(edit("ColNo"), Qt::Key_N, Qt::AltModifier);
        QTRY_VERIFY(!form->isVisible());
        reopen();
        QVERIFY(button("QuitAndSave")->isEnabled());
        QCOMPARE(QApplication::focusWidget(), edit("RowNo"));

        QTest::mouseClick(button("Cancel"), Qt::LeftButton);
        QVERIFY(!form->isVisible());
        reopen();
        QCOMPARE(QApplication::focusWidget(), edit("RowNo"));
        VERIFY_PROMPTS(*prompts);
    }

    void clickingCancelAfterTypingStillStoresTheValue() {
        QVERIFY(activate(form));
        select("1", "3");
        typeInto(edit("NewDist"), QStringLiteral("77"));
        QTest::mouseClick(button("Cancel"), Qt::LeftButton);
        QCOMPARE(store->DistanceMatrix[1][3], 77);
        QVERIFY(!store->MatrixSaved);
        QVERIFY(!form->isVisible());
        QVERIFY(program->VelmoraMain().isVisible());
    }

    void decliningToSaveClosesWithoutAWord() {
        form->show();
        store->MatrixSaved = false;
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::No);
        button("QuitAndSave")->click();
        VERIFY_PROMPTS(*prompts);
        QVERIFY(!form->isVisible());
        QVERIFY(!store->MatrixSaved);
    }

    void savingWritesEveryCellColumnByColumn() {
        loadNodes(3);
        form->show();
        store->MatrixSaved = false;
        const std::string existing = dir->write("m.GRD", "old\r\n");
        const std::string replace = "File [" + existing + "] exists.... Do you want to replace it?";
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
            .saveDialog(existing)
            .box(BoxType::Confirm, replace, Buttons::YesNo, Answer::No)
            .box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
            .saveDialog({})
            .box(BoxType::Confirm, replace, Buttons::YesNo, Answer::Yes)
            .box(BoxType::Information,
                 "<<< File [" + existing + "] successfully written with 9 records >>>",
                 Buttons::Ok);
        button("QuitAndSave")->click();
        VERIFY_PROMPTS(*prompts);
        QCOMPARE(readBytes(existing),
                 std::string("11\r\n21\r\n31\r\n12\r\n22\r\n32\r\n13\r\n23\r\n33\r\n"));
        QVERIFY(store->MatrixSaved);
        QVERIFY(!form->isVisible());
        QCOMPARE(prompts->dialogsRun().front().defaultExt, std::string("GRD"));
        QCOMPARE(prompts->dialogsRun().front().filterIndex, 2);
    }

    void aFileThatCannotBeCreatedKeepsTheDialogOpen() {
        form->show();
        store->MatrixSaved = false;
        prompts->box(BoxType::Confirm, SaveQuestion, Buttons::YesNo, Answer::Yes)
            .saveDialog(dir->file("gone/m.GRD"));
        QVERIFY_THROWS_EXCEPTION(InOutError, button("QuitAndSave")->click());
        VERIFY_PROMPTS(*prompts);
        QVERIFY(form->isVisible());
        QVERIFY(!store->MatrixSaved);
    }

    void layoutNamesAndAccelerators() {
        QCOMPARE(form->size(), QSize(506, 350));
        QCOMPARE(control<QLabel>(form, "RowLabel")->buddy(), edit("RowNo"));
        QCOMPARE(control<QLabel>(form, "NewDistLabel")->buddy(), edit("NewDist"));
        QVERIFY(edit("OldDist")->isReadOnly());
        QCOMPARE(edit("OldDist")->focusPolicy(), Qt::NoFocus);
        QCOMPARE(button("Cancel")->text(), QStringLiteral("Ca&Ncel"));
        QCOMPARE(button("QuitAndSave")->text(), QStringLiteral("&Quit and Save Changes"));
        QCOMPARE(controlsWithoutAUsefulName(form), QStringList());
    }

private:
    QLineEdit* edit(const char* name) { return control<QLineEdit>(form, name); }
    QPushButton* button(const char* name) { return control<QPushButton>(form, name); }

    // Cell [r][c] holds 10 * r + c, so every cell is told apart.
    void loadNodes(int n) {
        for (int i = 1; i <= n; ++i) {
            DistanceRow& row = store->DistanceMatrix.create(i);
            for (int j = 1; j <= n; ++j) {
                row[j] = 10 * i + j;
            }
        }
        store->NodeCount = static_cast<uint16_t>(n);
    }

    void leave(const char* field, const char* text) {
        typeInto(edit(field), QString::fromLatin1(text));
        QTest::keyClick(edit(field), Qt::Key_Tab);
    }

    void select(const char* row, const char* column) {
        leave("RowNo", row);
        leave("ColNo", column);
    }

    // From the main window, which the dialog handed back to, into the dialog again.
    void reopen() {
        TVelmoraMain& main = program->VelmoraMain();
        QVERIFY(activate(&main));
        main.setMatrixCommandsEnabled(true);
        control<QPushButton>(&main, "SingleElement")->click();
        QVERIFY(activate(form));
    }

    bool valueControlsHidden() {
        return edit("OldDist")->isHidden() && edit("NewDist")->isHidden() &&
               control<QLabel>(form, "OldDistLabel")->isHidden() &&
               control<QLabel>(form, "NewDistLabel")->isHidden();
    }

    TIndividualChanges* form = nullptr;
};

VELMORA_TEST_MAIN(IndividualChangesTest)
#include "IndividualChangesTest.moc"
