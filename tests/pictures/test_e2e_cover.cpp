#include "Application.h"
#include "CoverChooser.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "TestFolder.h"
#include "frmMain.h"
#include "frmPic.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

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
    TestFolder folder;
    const qint64 id = folder.AddTitle({.title = "Brazil"});
    const QString picture = folder.WritePicture("../new cover.png", "PNG", 300, 200, Qt::magenta);
    Application application(folder.Path());
    application.Start();
    frmMain &main = application.MainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&main));

    QStringList seen;
    ModalWaiter waiter;
    waiter.Expect<QFileDialog>([&](QFileDialog *dialog) {
        seen << dialog->windowTitle() << dialog->directory().absolutePath()
             << dialog->nameFilters();
        auto *pane = dialog->findChild<frmPic *>();
        auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
        if (pane && name) {
            name->setText(picture);
            (void)QTest::qWaitFor([pane] { return pane->lblSize->text().endsWith("Kb"); }, 3000);
            seen << pane->lblh->text() << pane->lblw->text();
        }
        static_cast<QDialog *>(dialog)->accept();
    });
    QTest::mouseClick(main.ImgCover, Qt::LeftButton);

    QVERIFY(waiter.Handled());
    QCOMPARE(seen, (QStringList{"Choose Picture File", "/", CoverChooser::ImageFilter(),
                                "Image Height : 200 Pixels", "Image Width : 300 Pixels"}));
    const QString cover = folder.ImagesPath() + QString("/%1.jpg").arg(id);
    QCOMPARE(TestFolder::ReadFile(cover), TestFolder::ReadFile(picture));
    QCOMPARE(main.CoverFile(), cover);
    const QImage shown = main.ImgCover->pixmap().toImage();
    QCOMPARE(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::magenta));
    QVERIFY(MessageBox::Shown().isEmpty());
}

QTEST_MAIN(TestE2eCover)
#include "test_e2e_cover.moc"
