#include "Application.h"
#include "CmnDialog.h"
#include "CoverChooser.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "TestFolder.h"
#include "frmMain.h"
#include "frmPic.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

// A click on the main window's cover, through the real chooser, to the new cover.
class TestE2eCover : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void clickChooseAndShow();
};

void TestE2eCover::cleanup()
{
    CmnDialog::Reset();
    MessageBox::Reset();
    ModalWaiter::CloseAllModals();
}

void TestE2eCover::clickChooseAndShow()
{
    TestFolder folder;
    QVERIFY(folder.IsValid());
    const qint64 id = folder.AddTitle({.title = QStringLiteral("Brazil")});
    const QString picture = folder.WritePicture(QStringLiteral("../new cover.png"), "PNG", 300,
                                                200, Qt::magenta);
    Application application(folder.Path());
    application.Start();
    frmMain &main = application.MainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QCOMPARE(main.ImgCover->cursor().shape(), Qt::PointingHandCursor);

    QString title;
    QString directory;
    QStringList filters;
    QString facts;
    ModalWaiter waiter;
    waiter.Expect<QFileDialog>([&](QFileDialog *dialog) {
        title = dialog->windowTitle();
        directory = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        auto *pane = dialog->findChild<frmPic *>();
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (pane && name) {
            name->setText(picture);
            (void)QTest::qWaitFor([pane] { return pane->lblSize->text().endsWith("Kb"); }, 3000);
            facts = pane->lblh->text() + QLatin1Char('|') + pane->lblw->text();
        }
        static_cast<QDialog *>(dialog)->accept();
        if (dialog->isVisible())
            dialog->reject();
    });
    QTest::mouseClick(main.ImgCover, Qt::LeftButton);

    QVERIFY(!waiter.Failed());
    QVERIFY(waiter.Handled());
    QCOMPARE(title, QStringLiteral("Choose Picture File"));
    QCOMPARE(directory, QStringLiteral("/"));
    QCOMPARE(filters, QStringList{CoverChooser::ImageFilter()});
    QCOMPARE(facts, QStringLiteral("Image Height : 200 Pixels|Image Width : 300 Pixels"));

    const QString cover = folder.ImagesPath() + QStringLiteral("/%1.jpg").arg(id);
    QFile stored(cover);
    QFile chosen(picture);
    QVERIFY(stored.open(QIODevice::ReadOnly) && chosen.open(QIODevice::ReadOnly));
    QCOMPARE(stored.readAll(), chosen.readAll());
    QCOMPARE(main.CoverFile(), cover);
    const QImage shown = main.ImgCover->pixmap().toImage();
    QCOMPARE(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::magenta));
    QVERIFY(MessageBox::Shown().isEmpty());
}

QTEST_MAIN(TestE2eCover)
#include "test_e2e_cover.moc"
