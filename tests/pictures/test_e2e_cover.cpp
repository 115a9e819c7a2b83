#include "CoverChooser.h"
#include "Story.h"
#include "frmPic.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>

// A click on the main window's cover, through the real chooser with its preview pane, to
// the new cover.
class TestE2eCover : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clickChooseAndShow();
};

void TestE2eCover::clickChooseAndShow()
{
    ProgramFixture program;
    const qint64 id = program.folder.AddTitle({.title = "Brazil"});
    const QString picture =
        program.folder.WritePicture("../new cover.png", "PNG", 300, 200, Qt::magenta);
    program.start();
    QVERIFY(QTest::qWaitForWindowExposed(&program.main()));

    const QString notes = program.folder.WriteImageFile("../notes.jpg", QByteArray(1500, 'x'));
    QStringList seen;
    QImage thumbnail;
    QSize frame;
    ModalWaiter waiter;
    waiter.Expect<QFileDialog>([&](QFileDialog *dialog) {
        seen << dialog->windowTitle() << dialog->directory().absolutePath()
             << dialog->nameFilters();
        auto *pane = dialog->findChild<frmPic *>();
        auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
        // The pane follows the named file: one that is not a picture, then the picture.
        for (const QString &file : {notes, picture}) {
            const QString size = pane->lblSize->text();
            name->setText(file);
            (void)QTest::qWaitFor([&] { return pane->lblSize->text() != size; }, 3000);
            seen << pane->lblh->text() << pane->lblw->text() << pane->Image1->text();
        }
        thumbnail = pane->Image1->pixmap().toImage();
        frame = pane->Image1->size();
        static_cast<QDialog *>(dialog)->accept();
    });
    QTest::mouseClick(program.main().Detail()->ImgCover, Qt::LeftButton);

    QCOMPARE(seen, (QStringList{"Choose Picture File", "/", CoverChooser::ImageFilter(),
                                "Height : Not Available", "Width : Not Available", "not a picture",
                                "Image Height : 200 Pixels", "Image Width : 300 Pixels", ""}));
    // The thumbnail fills its frame: stretched, proportions not kept.
    QCOMPARE(thumbnail.size(), frame);
    QCOMPARE(thumbnail.pixelColor(0, 0), QColor(Qt::magenta));
    QCOMPARE(thumbnail.pixelColor(frame.width() - 1, frame.height() - 1), QColor(Qt::magenta));
    const QString cover = program.folder.ImagesPath() + QString("/%1.jpg").arg(id);
    QCOMPARE(TestFolder::ReadFile(cover), TestFolder::ReadFile(picture));
    const QImage shown = program.main().Detail()->ImgCover->pixmap().toImage();
    QCOMPARE(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::magenta));
    QVERIFY(MessageBox::Shown().isEmpty());
}

QTEST_MAIN(TestE2eCover)
#include "test_e2e_cover.moc"
