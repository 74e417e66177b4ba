#include <QIcon>
#include <QImage>
#include <QTest>

#include "app/ApplicationIcon.h"

// The windows carry the installed icon itself at each installed size, so no title or task
// bar scales one size or shows another drawing.
class ApplicationIconTest : public QObject {
    Q_OBJECT

private slots:
    void eachInstalledSizeIsTheInstalledFile_data() {
        QTest::addColumn<int>("size");
        for (const int size : {16, 32, 48, 64, 128, 256}) {
            QTest::newRow(qPrintable(QString::number(size))) << size;
        }
    }

    void eachInstalledSizeIsTheInstalledFile() {
        QFETCH(int, size);
        const QImage installed(
            QStringLiteral(VELMORA_ICON_DIR "/%1x%1/apps/" VELMORA_APP_ID ".png").arg(size));
        QCOMPARE(installed.size(), QSize(size, size));

        const QIcon icon = applicationIcon();
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        // A pixmap holds its pixels premultiplied, so compare in that form.
        const QImage shown = icon.pixmap(QSize(size, size)).toImage();
        QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 installed.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
};

QTEST_MAIN(ApplicationIconTest)
#include "ApplicationIconTest.moc"
