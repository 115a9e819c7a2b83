// The fixed picture shown for titles without a cover is decoded once, yet a changed or
// removed file is still seen at the next row activation.
#include "DataGrid.h"
#include "MainWindowFixture.h"
#include "frmMain.h"

#include <QFile>
#include <QLabel>
#include <QTest>

class TestFixedCover : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void changedFixedPictureIsShown();
    void removedFixedPictureIsReported();
    void ownCoverBetweenTitlesWithout();
};

namespace {
QColor centre(const frmMain &main)
{
    const QImage image = main.ImgCover->pixmap().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

bool reddish(const QColor &colour)
{
    return colour.red() > 200 && colour.green() < 60 && colour.blue() < 60;
}
} // namespace

void TestFixedCover::changedFixedPictureIsShown()
{
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Alpha"});
    w.folder.AddTitle({.title = "Beta"});
    w.load();
    QCOMPARE(w.main->CoverFile(), w.folder.ImagesPath() + "/nothing.jpg");
    QVERIFY(!reddish(centre(*w.main)));

    w.folder.WritePicture("nothing.jpg", "JPG", 120, 90, Qt::red);
    w.main->UltraGrid->ActivateRow(1);
    QCOMPARE(w.main->CoverFile(), w.folder.ImagesPath() + "/nothing.jpg");
    QVERIFY(reddish(centre(*w.main)));
}

void TestFixedCover::removedFixedPictureIsReported()
{
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Alpha"});
    w.folder.AddTitle({.title = "Beta"});
    w.load();
    QVERIFY(!w.main->CoverIsPlaceholder());

    QVERIFY(QFile::remove(w.folder.ImagesPath() + "/nothing.jpg"));
    w.main->UltraGrid->ActivateRow(1);
    QVERIFY(w.main->CoverIsPlaceholder());
}

void TestFixedCover::ownCoverBetweenTitlesWithout()
{
    MainWindowFixture w;
    w.folder.AddTitle({.title = "Alpha"});
    const qint64 beta = w.folder.AddTitle({.title = "Beta"});
    w.folder.AddTitle({.title = "Gamma"});
    w.folder.WritePicture(QString::number(beta) + ".jpg", "JPG", 100, 140, Qt::red);
    w.load();

    const QColor fixed = centre(*w.main);
    w.main->UltraGrid->ActivateRow(1);
    QCOMPARE(w.main->CoverFile(), w.folder.ImagesPath() + "/" + QString::number(beta) + ".jpg");
    QVERIFY(reddish(centre(*w.main)));
    w.main->UltraGrid->ActivateRow(2);
    QCOMPARE(w.main->CoverFile(), w.folder.ImagesPath() + "/nothing.jpg");
    QCOMPARE(centre(*w.main), fixed);
}

QTEST_MAIN(TestFixedCover)
#include "test_fixed_cover.moc"
