#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include "app/AboutUnitVelmora.h"
#include "platform/VersionInfo.h"
#include "tests/support/TestFiles.h"
#include "tests/windows/WindowTestSupport.h"

namespace {

std::string programWithRecord(const TempDir& dir, uint32_t flagsMask, uint32_t flags) {
    const VersionRecord record =
        makeVersionRecord({12, 3, 0, 45}, flagsMask, flags, "040904E4", {{"ProductName", "X"}});
    return dir.write("program",
                     "ELF..." + std::string(reinterpret_cast<const char*>(&record), sizeof record));
}

}  // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

private slots:
    void theProgramsOwnRecordShowsItsVersion() {
        TAboutBoxVelmora box;
        box.setProgramFile(QStringLiteral(VELMORA_PROGRAM));
        box.show();
        QCOMPARE(control<QLabel>(&box, "Version")->text(), QStringLiteral("Version 1.0.6.1"));
        QCOMPARE(control<QLabel>(&box, "PropertyLabel")->text(), QString());
        QCOMPARE(box.windowTitle(), QStringLiteral("VELMORA About Box"));
        QCOMPARE(control<QLabel>(&box, "ProductName")->text(), QStringLiteral("V E L M O R A"));
        QCOMPARE(control<QLabel>(&box, "Comments")->text(),
                 QStringLiteral("This program modifies the distance matrix information used "
                                "by QUORVANE"));
    }

    void withoutARecordTheDesignTextsStay() {
        TempDir dir;
        TAboutBoxVelmora box;
        box.setProgramFile(QString::fromStdString(dir.write("program", "no record")));
        box.show();
        QCOMPARE(control<QLabel>(&box, "Version")->text(), QStringLiteral("Version 1.00"));
        QCOMPARE(control<QLabel>(&box, "PropertyLabel")->text(), QStringLiteral("PropertyLabel"));
    }

    void versionNumbersWithoutLeadingZerosAndFlagWordsInOrder() {
        TempDir dir;
        TAboutBoxVelmora box;
        box.setProgramFile(QString::fromStdString(
            programWithRecord(dir, 0x3F, VS_FF_PRERELEASE | VS_FF_DEBUG | VS_FF_PATCHED)));
        box.show();
        QCOMPARE(control<QLabel>(&box, "Version")->text(), QStringLiteral("Version 12.3.0.45"));
        QCOMPARE(control<QLabel>(&box, "PropertyLabel")->text(), QStringLiteral(" Debug Beta"));
    }

    void flagWordsNeedTheFlagInTheMaskToo() {
        QCOMPARE(versionPropertyWords(0x2B, 0x3F), QStringLiteral(" Debug Beta Private Special"));
        QCOMPARE(versionPropertyWords(VS_FF_DEBUG, 0), QString());
        QCOMPARE(versionPropertyWords(VS_FF_SPECIALBUILD | VS_FF_DEBUG, VS_FF_SPECIALBUILD),
                 QStringLiteral(" Special"));
        QCOMPARE(versionPropertyWords(0xFFFFFFC4, 0xFFFFFFFF), QString());
    }

    void everyShowingReadsTheRecordAgain() {
        TempDir dir;
        TAboutBoxVelmora box;
        box.setProgramFile(QString::fromStdString(programWithRecord(dir, 0x3F, 0)));
        box.show();
        box.hide();
        box.setProgramFile(QString::fromStdString(programWithRecord(dir, 0x3F, VS_FF_DEBUG)));
        box.show();
        QCOMPARE(control<QLabel>(&box, "PropertyLabel")->text(), QStringLiteral(" Debug"));
    }

    void okShowsTheMainWindowThenHidesTheBox() {
        TAboutBoxVelmora box;
        box.AboutTimer()->stop();
        QSignalSpy mainWindow(&box, &TAboutBoxVelmora::showMainWindow);
        box.show();
        control<QPushButton>(&box, "OKButton")->click();
        QCOMPARE(mainWindow.count(), 1);
        QVERIFY(!box.isVisible());
        QVERIFY(control<QPushButton>(&box, "OKButton")->isDefault());
    }

    void closedFromOutsideItLeavesAsOkDoes() {
        TAboutBoxVelmora box;
        QSignalSpy mainWindow(&box, &TAboutBoxVelmora::showMainWindow);
        box.show();
        box.close();
        QCOMPARE(mainWindow.count(), 1);
        // The timer's own close is not leaving the box: it brings nothing back.
        box.show();
        QTRY_VERIFY_WITH_TIMEOUT(!box.isVisible(), 3000);
        QCOMPARE(mainWindow.count(), 1);
    }

    void theTimerKeepsTickingAndRestoresTheOkButton() {
        TAboutBoxVelmora box;
        QVERIFY(box.AboutTimer()->isActive());
        box.MakeSplash();
        QVERIFY(box.isVisible());
        QVERIFY(control<QPushButton>(&box, "OKButton")->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(!box.isVisible(), 3000);
        QVERIFY(!control<QPushButton>(&box, "OKButton")->isHidden());
        QVERIFY(box.AboutTimer()->isActive());
    }
};

VELMORA_TEST_MAIN(AboutBoxTest)
#include "AboutBoxTest.moc"
