// The preview pane of the cover chooser: the picture's facts, the file size in Kb, the
// thumbnail, and files that are not pictures.
#include "TestFolder.h"
#include "frmPic.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

namespace {

QColor pixel(const QLabel *label, int x, int y)
{
    return label->pixmap().toImage().pixelColor(x, y);
}

} // namespace

class TestFrmPic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kilobytesRounding_data();
    void kilobytesRounding();
    void thumbnailIsStretched_data();
    void thumbnailIsStretched();
    void notAPictureKeepsWorking();
    void widerPaneKeepsThumbnailRight();
};

void TestFrmPic::kilobytesRounding_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << qint64(0) << "0.00";
    QTest::newRow("exact half hundredth rounds up") << qint64(128) << "0.13";
    QTest::newRow("1,024") << qint64(1024) << "1.00";
    QTest::newRow("5 GB, no overflow") << qint64(5) * 1024 * 1024 * 1024 << "5242880.00";
}

void TestFrmPic::kilobytesRounding()
{
    QFETCH(qint64, bytes);
    QTEST(frmPic::Kilobytes(bytes), "text");
}

void TestFrmPic::thumbnailIsStretched_data()
{
    QTest::addColumn<QSize>("pixels");
    QTest::newRow("tall and narrow") << QSize(20, 600);
    QTest::newRow("wide and flat") << QSize(900, 30);
}

void TestFrmPic::thumbnailIsStretched()
{
    QFETCH(QSize, pixels);
    TestFolder folder;
    QVERIFY(folder.IsValid());
    const QString path = folder.WritePicture(QStringLiteral("shape.png"), "PNG", pixels.width(),
                                             pixels.height(), Qt::red);
    frmPic pane;
    pane.LoadImage(path);

    // Filled to every edge of the frame: no white bands as kept proportions would leave.
    const QLabel *image = pane.Image1;
    QCOMPARE(image->pixmap().size(), image->size());
    const int right = image->width() - 1;
    const int bottom = image->height() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom),
                                QPoint(right, bottom)})
        QCOMPARE(pixel(image, corner.x(), corner.y()), QColor(Qt::red));
    QVERIFY(image->geometry().intersects(pane.Picture2->contentsRect()));
}

void TestFrmPic::notAPictureKeepsWorking()
{
    TestFolder folder;
    QVERIFY(folder.IsValid());
    const QString picture = folder.WritePicture(QStringLiteral("a.png"), "PNG", 300, 200);
    const QString text = folder.Path() + QStringLiteral("/notes.jpg");
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(1500, 'x'));
    file.close();

    frmPic pane;
    pane.LoadImage(picture);
    pane.LoadImage(text);
    QCOMPARE(pane.Image1->text(), QStringLiteral("not a picture"));
    QVERIFY(pane.Image1->pixmap().isNull());
    QCOMPARE(pane.lblh->text(), QStringLiteral("Height : Not Available"));
    QCOMPARE(pane.lblw->text(), QStringLiteral("Width : Not Available"));
    QCOMPARE(pane.lblSize->text(), QStringLiteral("File Size : 1.46 Kb"));

    // The next picture shows again.
    pane.LoadImage(picture);
    QVERIFY(pane.Image1->text().isEmpty());
    QVERIFY(!pane.Image1->pixmap().isNull());
    QCOMPARE(pane.lblh->text(), QStringLiteral("Image Height : 200 Pixels"));
    QCOMPARE(pane.lblw->text(), QStringLiteral("Image Width : 300 Pixels"));
}

void TestFrmPic::widerPaneKeepsThumbnailRight()
{
    frmPic pane;
    pane.resize(frmPic::PaneWidth, frmPic::PaneHeight);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    const QPoint labels = pane.Frame1->pos();
    for (const int width : {frmPic::PaneWidth, 700, 1000}) {
        pane.resize(width, frmPic::PaneHeight);
        QCOMPARE(pane.Picture2->geometry().right(), width - 1);
        QCOMPARE(pane.Frame1->pos(), labels);
    }
}

QTEST_MAIN(TestFrmPic)
#include "test_frmPic.moc"
