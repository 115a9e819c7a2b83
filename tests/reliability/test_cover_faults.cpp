// A title's cover in a bad state is shown as the placeholder with the rest of the title;
// a new cover that cannot be taken or written (damaged, oversized, not a picture, a full
// or failing disk) leaves the old cover byte for byte with a clear message; a cover that
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
#include <sys/mount.h>

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

// A PNG whose header (with its checksum) claims a picture of width x height: decoding it
// in full would need gigabytes, so it must be refused, not allocated.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray png = pictureBytes("PNG", 4, 4);
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    quint32 crc = 0xffffffffu;
    for (const char c : png.mid(12, 17)) { // the header's type and data
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    qToBigEndian(~crc, png.data() + 29);
    return png;
}

QByteArray noise(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator(11).fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

QStringList entries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A small file system of its own over a folder, for as long as this lives: a disk that
// fills up. Mounting needs root.
struct SmallDisk
{
    QByteArray path;
    bool mounted = false;
    bool Mount(const QString &folder, qint64 bytes)
    {
        path = QFile::encodeName(folder);
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=755";
        mounted = ::mount("tmpfs", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                          options.constData()) == 0;
        return mounted;
    }
    ~SmallDisk()
    {
        if (mounted)
            ::umount2(path.constData(), MNT_DETACH);
    }
};

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
    QTest::addColumn<int>("step");          // a FileReplacer step made to fail
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
    const QByteArray huge = pngClaiming(100000, 100000);
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
    // A real disk with 64 KiB free (the step is not used then).
    row("disk full", good, "cover", {}, Step(-1), 0, full);
    row("a write refused", good, "cover", {}, Step::Write, ENOSPC, full);
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
    SmallDisk disk;
    if (step == -1 && !disk.Mount(images, 4096 + 65536))
        QSKIP("Mounting a small file system needs root; the injected rows check the same steps.");
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
    const QImage big(160, 160, QImage::Format_RGB888); // 77 KB: more than the disk has
    QVERIFY(chosen.isEmpty() ? big.save(picked, "BMP") : TestFolder::WriteFile(picked, chosen));
    w.load();

    // Shown as far as it can be, with the rest of the title.
    QCOMPARE(w.main->lblTitle->text(), QString("Covered"));
    QCOMPARE(w.main->txtDirector->text(), QString("Someone"));
    QCOMPARE(w.main->CoverIsPlaceholder(), shown == "placeholder");
    QCOMPARE(w.main->CoverFile(), shown == "nothing" ? images + "/nothing.jpg" : file);
    QVERIFY(!w.main->ImgCover->pixmap().isNull());
    const QStringList before = entries(images);

    FileReplacer::FailNextForTesting(FileReplacer::Step(qMax(step, 0)), code);
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
        QCOMPARE(entries(images), before);
        QCOMPARE(w.main->CoverFile(), file);
    }
    if ((!reason.isEmpty() || kept != file) && !linkTo.startsWith('/'))
        QCOMPARE(TestFolder::ReadFile(kept), old);
}

QTEST_MAIN(TestCoverFaults)
#include "test_cover_faults.moc"
