// A title's cover in a bad state is shown as the placeholder with the rest of the title;
// a new cover that cannot be taken or written (damaged, oversized, not a picture, a full
// or failing disk, injected into FileReplacer's steps) leaves the old cover byte for byte with a clear message; a cover that
// is a symbolic link is replaced itself, never written through.
#include "CmnDialog.h"
#include "CoverChooser.h"
#include "FileReplacer.h"
#include "MainWindowFixture.h"
#include "MessageBox.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTest>
#include <QtEndian>
#include <cerrno>

namespace {

QByteArray pictureBytes(const char *format, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkYellow);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A BMP whose header claims a picture of 100000 x 100000: decoding it would need 40 GB,
// so it must be refused, not allocated.
QByteArray bmpClaimingHuge()
{
    QByteArray bmp = pictureBytes("BMP", 4, 4);
    qToLittleEndian<qint32>(100000, bmp.data() + 18);
    qToLittleEndian<qint32>(100000, bmp.data() + 22);
    return bmp;
}

QByteArray noise(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator(11).fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

} // namespace

class TestCoverFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        FileReplacer::FailNextForTesting(FileReplacer::Step::None);
        CmnDialog::Reset();
        MessageBox::Reset();
    }
    void coverFaults_data();
    void coverFaults();
};

void TestCoverFaults::coverFaults_data()
{
    QTest::addColumn<QByteArray>("cover");  // the cover's bytes; "link:..." a symbolic link
    QTest::addColumn<QString>("shown");     // cover, placeholder, or nothing (nothing.jpg)
    QTest::addColumn<QByteArray>("chosen"); // the new cover's bytes; empty: a good picture
    QTest::addColumn<int>("step");          // made to fail, as a full or failing disk would
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");    // in the message; empty: the cover is replaced
    using Step = FileReplacer::Step;
    auto row = [](const char *name, const QByteArray &cover, const char *shown,
                  const QByteArray &chosen, Step step, int code, const char *reason) {
        QTest::newRow(name) << cover << QString(shown) << chosen << int(step) << code
                            << QString(reason);
    };
    const QByteArray good = pictureBytes("JPG", 40, 30);
    const QByteArray cut = pictureBytes("JPG", 300, 400).left(20);
    const QByteArray huge = bmpClaimingHuge();
    const char *notAPicture = "is not a picture that can be shown.";
    const char *full = "No space left on device.";
    row("cover empty", {}, "placeholder", {}, Step::None, 0, "");
    row("cover cut short", cut, "placeholder", {}, Step::None, 0, "");
    row("cover 12 MB of noise", noise(12000000), "placeholder", {}, Step::None, 0, "");
    row("cover claiming 100000 x 100000", huge, "placeholder", {}, Step::None, 0, "");
    row("cover a dangling link", "link:gone.jpg", "nothing", {}, Step::None, 0, "");
    row("cover a link to a picture outside", "link:outside.jpg", "cover", {}, Step::None, 0, "");
    row("cover a link to a device", "link:/dev/zero", "nothing", {}, Step::None, 0, "");
    row("chosen cut short", good, "cover", cut, Step::None, 0, notAPicture);
    row("chosen claiming 100000 x 100000", good, "cover", huge, Step::None, 0, notAPicture);
    row("chosen not a picture", good, "cover", noise(100000), Step::None, 0, notAPicture);
    row("disk full: a write refused", good, "cover", {}, Step::Write, ENOSPC, full);
    row("the sync refused", good, "cover", {}, Step::Sync, EIO, "Input/output error.");
    row("the copy comes out short", good, "cover", {}, Step::Size, 0, "bytes could be written.");
    row("the rename refused", good, "cover", {}, Step::Rename, EROFS, "Read-only file system.");
}

void TestCoverFaults::coverFaults()
{
    QFETCH(QByteArray, cover);
    QFETCH(QString, shown);
    QFETCH(QByteArray, chosen);
    QFETCH(int, step);
    QFETCH(int, code);
    QFETCH(QString, reason);
    MainWindowFixture w;
    const QByteArray good = pictureBytes("JPG", 40, 30);
    const qint64 id = w.folder.AddTitle({.title = "Covered", .director = "Someone"});
    const QString images = w.folder.ImagesPath();
    const QString file = images + QString("/%1.jpg").arg(id);
    const QString linkTo = QString(cover.mid(5));
    const QString target = linkTo.startsWith('/') ? linkTo : w.folder.Path() + "/" + linkTo;
    if (linkTo == "outside.jpg")
        QVERIFY(TestFolder::WriteFile(target, pictureBytes("JPG", 20, 20)));
    QVERIFY(cover.startsWith("link:") ? QFile::link(target, file)
                                       : TestFolder::WriteFile(file, cover));
    const QString kept = cover.startsWith("link:") ? target : file; // must stay as it was
    const QByteArray old = linkTo.startsWith('/') ? QByteArray() : TestFolder::ReadFile(kept);
    const QString picked = w.folder.Path() + "/new.bmp";
    QVERIFY(TestFolder::WriteFile(picked, chosen.isEmpty() ? pictureBytes("BMP", 160, 160) : chosen));
    w.load();

    // Shown as far as it can be, with the rest of the title.
    QCOMPARE(w.main->lblTitle->text(), QString("Covered"));
    QCOMPARE(w.main->txtDirector->text(), QString("Someone"));
    QCOMPARE(w.main->CoverIsPlaceholder(), shown == "placeholder");
    QCOMPARE(w.main->CoverFile(), shown == "nothing" ? images + "/nothing.jpg" : file);
    QVERIFY(!w.main->ImgCover->pixmap().isNull());
    const QStringList before = QDir(images).entryList(QDir::AllEntries | QDir::Hidden);

    FileReplacer::FailNextForTesting(FileReplacer::Step(step), code);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    CmnDialog::SetNextFileName(picked);
    CoverChooser(*w.main).ImgCover_Click();

    if (reason.isEmpty()) {
        QVERIFY2(MessageBox::Shown().isEmpty(), qPrintable(MessageBox::Shown().join('|')));
        QVERIFY(!QFileInfo(file).isSymLink());
        QCOMPARE(TestFolder::ReadFile(file), TestFolder::ReadFile(picked));
        QVERIFY(!w.main->CoverIsPlaceholder());
    } else {
        QCOMPARE(MessageBox::Shown().size(), 1);
        const QString message = MessageBox::Shown().first();
        QVERIFY2(message.contains(reason) && message.endsWith("The cover was not changed."),
                 qPrintable(message));
        QCOMPARE(QDir(images).entryList(QDir::AllEntries | QDir::Hidden), before);
        QCOMPARE(w.main->CoverFile(), file);
    }
    if ((!reason.isEmpty() || kept != file) && !linkTo.startsWith('/'))
        QCOMPARE(TestFolder::ReadFile(kept), old);
}

QTEST_MAIN(TestCoverFaults)
#include "test_cover_faults.moc"
