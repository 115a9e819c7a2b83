// Choosing a cover: a picture replaces the title's cover through a new file renamed over
// it, anything else is refused with the cover kept; the preview pane's Kb label; and one
// click through the real file dialog with its preview pane.
#include "CmnDialog.h"
#include "CoverChooser.h"
#include "FileDialogAnswers.h"
#include "MainWindowFixture.h"
#include "MessageBox.h"
#include "Story.h"
#include "frmPic.h"
#include "TestSeams.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <unistd.h>

namespace {

QByteArray png(const QColor &colour)
{
    return TestFolder::PictureBytes("PNG", 30, 50, colour);
}

} // namespace

class TestCoverChooser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { TestSeams::ResetAll(); }
    void choose_data();
    void choose();
    void kilobytes_data();
    void kilobytes();
    void clickChooseAndShow();
};

void TestCoverChooser::choose_data()
{
    QTest::addColumn<QString>("chosen");     // in the test folder; "": Cancel; "cover": itself
    QTest::addColumn<QByteArray>("content"); // "-": none; "/": a folder
    QTest::addColumn<bool>("imagesFolder");
    QTest::addColumn<QString>("says"); // part of the one message; "": none
    QTest::addColumn<QColor>("shown"); // the cover's top middle afterwards
    const auto row = [](const char *name, const QString &chosen, const QByteArray &content,
                        const QString &says = {}, const QColor &shown = Qt::yellow,
                        bool imagesFolder = true) {
        QTest::newRow(name) << chosen << content << imagesFolder << says << shown;
    };
    const QString notShown = "\" is not a picture that can be shown.";
    row("GIF, awkward folder", "Dan's \"Scans\" – été/poster.GIF", TestFolder::SampleGif(), "",
        QColor(0xc0, 0x30, 0x30));
    row("PNG", "new.png", png(Qt::blue), "", Qt::blue);
    row("the cover itself", "cover", "");
    row("cancelled", "", "");
    row("text named .jpg", "notes.jpg", "SELECT * FROM DVD_Title; --", "notes.jpg" + notShown);
    row("cut picture header", "cut.png", QByteArray("\x89PNG\r\n\x1a\n\0\0", 10),
        "cut.png" + notShown);
    row("empty file", "empty.gif", "", "empty.gif" + notShown);
    row("missing file", "gone.jpg", "-", "gone.jpg\" cannot be read.\nIt does not exist.");
    row("a folder", "folder.jpg", "/", "folder.jpg\" cannot be read.\nIt is not a file.");
    row("no images folder", "new.png", png(Qt::blue), "/images\" does not exist.", Qt::yellow,
        false);
}

void TestCoverChooser::choose()
{
    QFETCH(QString, chosen);
    QFETCH(QByteArray, content);
    QFETCH(bool, imagesFolder);
    QFETCH(QString, says);
    QFETCH(QColor, shown);
    MainWindowFixture f;
    f.folder.AddTitle({.title = "Zulu"});
    const qint64 id = f.folder.AddTitle({.title = "Alpha"}); // first in the list
    const QString cover = f.folder.ImagesPath() + QString("/%1.jpg").arg(id);
    const QByteArray before = png(Qt::yellow);
    QVERIFY(TestFolder::WriteFile(cover, before));
    f.load();
    // A second name for the cover's file: written onto, it would change too.
    QVERIFY(::link(QFile::encodeName(cover), QFile::encodeName(f.folder.Path() + "/old")) == 0);
    const QString path = chosen == "cover" ? cover : f.folder.Path() + "/" + chosen;
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    if (content == "/")
        QVERIFY(QDir().mkpath(path));
    else if (content != "-" && chosen != "cover" && !chosen.isEmpty())
        QVERIFY(TestFolder::WriteFile(path, content));
    if (!imagesFolder)
        QVERIFY(QDir(f.folder.ImagesPath()).removeRecursively());
    const QByteArray expected =
        says.isEmpty() && !chosen.isEmpty() ? TestFolder::ReadFile(path) : before;
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    FileDialogAnswers::SetNext(chosen.isEmpty() ? QString() : path);

    CoverChooser(*f.main).ImgCover_Click();

    QCOMPARE(FileDialogAnswers::Requests(), 1);
    QCOMPARE(MessageBox::Shown().size(), says.isEmpty() ? 0 : 1);
    QVERIFY2(MessageBox::Shown().value(0).contains(says), qPrintable(MessageBox::Shown().value(0)));
    QCOMPARE(TestFolder::ReadFile(f.folder.Path() + "/old"), before);
    QCOMPARE(TestFolder::ReadFile(cover), imagesFolder ? expected : QByteArray());
    const QImage image = f.main->Detail()->ImgCover->pixmap().toImage();
    QCOMPARE(image.pixelColor(image.width() / 2, 5), shown);
    // No new file left beside the cover, and no images folder made.
    const auto files = QDir(f.folder.ImagesPath()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(files.size(), imagesFolder ? 3 : 0);
}

void TestCoverChooser::kilobytes_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << qint64(0) << "0.00";
    QTest::newRow("a half hundredth rounds up") << qint64(128) << "0.13";
    QTest::newRow("just below a half") << qint64(127) << "0.12";
    QTest::newRow("rounds up to a whole") << qint64(1023) << "1.00";
    QTest::newRow("1,500") << qint64(1500) << "1.46";
    QTest::newRow("5 GB, no overflow") << qint64(5) * 1024 * 1024 * 1024 << "5242880.00";
}

void TestCoverChooser::kilobytes()
{
    QFETCH(qint64, bytes);
    QTEST(frmPic::Kilobytes(bytes), "text");
}

// A click on the main window's cover, through the real chooser with its preview pane, to
// the new cover.
void TestCoverChooser::clickChooseAndShow()
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

QTEST_MAIN(TestCoverChooser)
#include "test_CoverChooser.moc"
