#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "app/Velmora.h"
#include "app/VelmoraProgram.h"
#include "loading/LoadDataVelmora.h"
#include "modify/DistSpecification.h"
#include "preview/CoveragePreview.h"
#include "store/DataStore.h"
#include "tests/support/TestFiles.h"
#include "tests/windows/WindowTestSupport.h"

// Where the coverage preview opens beside the equation dialog, on the screens of
// tests/windows/screens.json: three sizes, each at 100% and at 200%.
class PreviewPlacementTest : public WindowTest {
    Q_OBJECT

private slots:
    void init() {
        WindowTest::init();
        form = &start().DistEquationForm();
    }

    void thePreviewNeverCoversTheFieldWithTheKeyboard_data() {
        QTest::addColumn<int>("screen");
        QTest::addColumn<bool>("bothFit");
        const QList<QScreen*> screens = QGuiApplication::screens();
        QCOMPARE(screens.size(), 6);
        for (int s = 0; s < screens.size(); ++s) {
            const QString name = screens[s]->name();
            QTest::newRow(qPrintable(name))
                << s << (name == QLatin1String("1366x768") || name == QLatin1String("1920x1080"));
        }
    }

    // Where both fit, the frames never meet; where the screen is too small for both, the
    // field with the keyboard is never under the preview, wherever Tab takes it.
    void thePreviewNeverCoversTheFieldWithTheKeyboard() {
        QFETCH(int, screen);
        QFETCH(bool, bothFit);
        QScreen* on = QGuiApplication::screens()[screen];
        loadAndShowTheDialogOn(on);
        QWidget* field = control<QWidget>(form, "CVDist");
        typeInto(static_cast<QLineEdit*>(field), QStringLiteral("5"));
        // Opened by its accelerator, which also gives the button the keyboard.
        QTest::keyClick(form, Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(form->CoveragePreview() && form->CoveragePreview()->isVisible());
        QWidget* preview = form->CoveragePreview();
        QVERIFY(QTest::qWaitForWindowExposed(preview));
        QTRY_COMPARE(QApplication::activeWindow(), form);
        QVERIFY2(on->availableGeometry().contains(preview->frameGeometry()),
                 qPrintable(describe(preview, form)));
        if (bothFit) {
            QVERIFY2(!preview->frameGeometry().intersects(form->frameGeometry()),
                     qPrintable(describe(preview, form)));
            QVERIFY(on->availableGeometry().contains(form->frameGeometry()));
        }
        QStringList visited;
        for (int step = 0; step < 30; ++step) {
            QWidget* focused = QApplication::focusWidget();
            QVERIFY(focused && focused->window() == form);
            const QRect at(focused->mapToGlobal(QPoint(0, 0)), focused->size());
            QTRY_VERIFY2(!preview->frameGeometry().intersects(at),
                         qPrintable(focused->objectName() + ": " + describe(preview, form)));
            QVERIFY(on->availableGeometry().contains(preview->frameGeometry()));
            visited << focused->objectName();
            QTest::keyClick(focused, Qt::Key_Tab);
        }
        // Tab went round the whole dialog, every field included.
        QVERIFY(visited.contains(QStringLiteral("Expon4")));
        QVERIFY(visited.contains(QStringLiteral("ResetAll")));
    }

private:
    void loadAndShowTheDialogOn(QScreen* screen) {
        TLoadDataVelmoraForm* load = &program->LoadDataVelmoraForm();
        program->VelmoraMain().show();
        control<QPushButton>(&program->VelmoraMain(), "LoadData")->click();
        control<QRadioButton>(load, "Euclidean")->click();
        prompts->openDialog(dir->write("d.EUC", "1 0 0 1 1 1\r\n2 3 4 1 1 1\r\n"));
        control<QPushButton>(load, "SpecifyDemand")->click();
        control<QRadioButton>(load, "ComputeDistances")->click();
        prompts->box(BoxType::Confirm, "Do you want to save distances?", Buttons::YesNo,
                     Answer::No);
        control<QPushButton>(load, "ExitAndLoadData")->click();
        VERIFY_PROMPTS(*prompts);
        // The dialog opens in the middle of its screen.
        form->setScreen(screen);
        QRect frame = form->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        form->move(frame.topLeft());
        control<QPushButton>(&program->VelmoraMain(), "ModifyDist")->click();
        QVERIFY(activate(form));
        QCOMPARE(form->screen(), screen);
    }

    static QString describe(QWidget* preview, QWidget* dialog) {
        const auto text = [](const QRect& r) {
            return QStringLiteral("%1,%2 %3x%4")
                .arg(r.x())
                .arg(r.y())
                .arg(r.width())
                .arg(r.height());
        };
        return "preview " + text(preview->frameGeometry()) + ", dialog " +
               text(dialog->frameGeometry()) + ", screen " +
               text(dialog->screen()->availableGeometry());
    }

    TDistEquationForm* form = nullptr;
};

// The screens come from a file the offscreen platform reads as the application starts.
int main(int argc, char** argv) {
    requireInstalledLocale();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" VELMORA_SCREENS);
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi);
    PreviewPlacementTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "PreviewPlacementTest.moc"
