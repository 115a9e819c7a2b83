// Choosing a cover: a picture replaces the title's cover through a new file renamed over
// it, anything else is refused with the cover kept; and the preview pane's Kb label.
#include "CmnDialog.h"
#include "CoverChooser.h"
#include "FileDialogAnswers.h"
#include "MainWindowFixture.h"
#include "MessageBox.h"
#include "frmPic.h"
#include "TestSeams.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <unistd.h>

namespace {

QByteArray png(const QColor &colour)
{
    QImage picture(30, 50, QImage::Format_RGB32);
    picture.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    picture.save(&buffer, "PNG");
    return bytes;
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

QTEST_MAIN(TestCoverChooser)
#include "test_CoverChooser.moc"
