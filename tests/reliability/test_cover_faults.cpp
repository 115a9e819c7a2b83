// Cover files and the images folder in every bad state the detail panel can meet: the panel
// shows a placeholder or the picture, the rest of the title is shown, nothing crashes,
// no file is changed, and the next title's cover is shown normally afterwards.
#include "CmnDialog.h"
#include "CoverChooser.h"
#include "FileReplacer.h"
#include "MainWindowFixture.h"
#include "MessageBox.h"
#include "frmMain.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTest>
#include <QtEndian>

#include <cerrno>
#include <sys/mount.h>
#include <sys/statvfs.h>

namespace {

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

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

// A PNG whose header claims a picture of width x height: decoding it in full would need
// gigabytes, so it must be refused, not allocated.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray png = pictureBytes("PNG", 4, 4);
    QByteArray ihdr = png.mid(12, 4 + 13); // chunk type + data
    qToBigEndian(width, ihdr.data() + 4);
    qToBigEndian(height, ihdr.data() + 8);
    png.replace(12, ihdr.size(), ihdr);
    QByteArray crc(4, '\0');
    qToBigEndian(crc32(ihdr), crc.data());
    png.replace(12 + ihdr.size(), 4, crc);
    return png;
}

// A JPEG whose frame header claims width x height over the pixels of a small picture.
QByteArray jpegClaiming(quint16 width, quint16 height)
{
    QByteArray jpeg = pictureBytes("JPG", 16, 16);
    const int sof = jpeg.indexOf(QByteArray("\xff\xc0", 2));
    if (sof < 0)
        return {};
    qToBigEndian(height, jpeg.data() + sof + 5);
    qToBigEndian(width, jpeg.data() + sof + 7);
    return jpeg;
}

// An uncompressed 24-bit BMP of side x side pixels, built without a QImage of that size.
QByteArray bigBmp(int side)
{
    const int rowBytes = side * 3;
    const quint32 pixels = quint32(rowBytes) * quint32(side);
    QByteArray bytes(54, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    qToLittleEndian<quint32>(54 + pixels, bytes.data() + 2);
    qToLittleEndian<quint32>(54, bytes.data() + 10);
    qToLittleEndian<quint32>(40, bytes.data() + 14);
    qToLittleEndian<qint32>(side, bytes.data() + 18);
    qToLittleEndian<qint32>(side, bytes.data() + 22);
    qToLittleEndian<quint16>(1, bytes.data() + 26);
    qToLittleEndian<quint16>(24, bytes.data() + 28);
    qToLittleEndian<quint32>(pixels, bytes.data() + 34);
    bytes.append(QByteArray(int(pixels), char(0x80)));
    return bytes;
}

QByteArray noise(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(11);
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                | QDir::NoDotAndDotDot);
}

// A small file system of its own over a folder, for as long as this lives: a disk that
// fills up. Mounting needs root; elsewhere Mount() says no.
class SmallDisk
{
public:
    bool Mount(const QString &path, qint64 bytes)
    {
        m_path = QFile::encodeName(path);
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=755";
        m_mounted = ::mount("tmpfs", m_path.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                            options.constData())
                    == 0;
        return m_mounted;
    }
    qint64 Free() const
    {
        struct statvfs info = {};
        return ::statvfs(m_path.constData(), &info) == 0 ? qint64(info.f_bavail) * info.f_bsize
                                                          : -1;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
    }

private:
    QByteArray m_path;
    bool m_mounted = false;
};

} // namespace

class TestCoverFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void badCoverFile_data();
    void badCoverFile();
    void imagesFolderFaults_data();
    void imagesFolderFaults();
    void coverWriteFails_data();
    void coverWriteFails();
    void coverLinkReplaced_data();
    void coverLinkReplaced();
    void cleanup()
    {
        FileReplacer::FailNextForTesting(FileReplacer::Step::None);
        CmnDialog::Reset();
        MessageBox::Reset();
    }
};

void TestCoverFaults::badCoverFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // 1: always the placeholder; 0: always the picture; -1: either (a decoder may show
    // what it could read of a damaged file).
    QTest::addColumn<int>("placeholder");
    const QByteArray jpeg = pictureBytes("JPG", 300, 400);
    QTest::newRow("0 bytes") << QByteArray() << 1;
    QTest::newRow("JPEG header only") << jpeg.left(20) << 1;
    QTest::newRow("JPEG header, then noise") << jpeg.left(200) + noise(4000) << -1;
    QTest::newRow("12 MB picture") << bigBmp(2048) << 0;
    QTest::newRow("12 MB of noise") << noise(12 * 1000 * 1000) << 1;
    QTest::newRow("PNG claiming 100000 x 100000") << pngClaiming(100000, 100000) << 1;
    QTest::newRow("JPEG claiming 65000 x 65000") << jpegClaiming(65000, 65000) << 1;
}

void TestCoverFaults::badCoverFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, placeholder);
    MainWindowFixture w;
    const qint64 bad = w.folder.AddTitle({.title = "A bad cover", .director = "Someone"});
    const qint64 good = w.folder.AddTitle({.title = "B good cover"});
    const QString badFile = w.folder.WriteImageFile(QString("%1.jpg").arg(bad), bytes);
    w.folder.WritePicture(QString("%1.jpg").arg(good), "JPG", 120, 90);

    w.load();
    QCOMPARE(w.main->lblTitle->text(), QString("A bad cover"));
    QCOMPARE(w.main->txtDirector->text(), QString("Someone"));
    QCOMPARE(w.main->CoverFile(), badFile);
    if (placeholder != -1)
        QCOMPARE(w.main->CoverIsPlaceholder(), placeholder == 1);
    const QPixmap shown = w.main->ImgCover->pixmap();
    QVERIFY(!shown.isNull());
    QVERIFY(shown.width() <= frmMain::CoverWidth && shown.height() <= frmMain::CoverHeight);

    // The file is left alone and the program goes on with the next title.
    QFile file(badFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.size(), qint64(bytes.size()));
    QCOMPARE(file.read(64), bytes.left(64));
    w.main->UltraGrid->selectRow(1);
    QCOMPARE(w.main->lblTitle->text(), QString("B good cover"));
    QVERIFY(w.main->CoverFile().endsWith(QString("/%1.jpg").arg(good)));
    QVERIFY(!w.main->CoverIsPlaceholder());
}

void TestCoverFaults::imagesFolderFaults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("emptyList");
    QTest::addColumn<QString>("expectedFile");
    QTest::newRow("images folder missing") << "no folder" << false << "nothing.jpg";
    QTest::newRow("images folder missing, empty list") << "no folder" << true << "no_records.jpg";
    QTest::newRow("images is a file") << "file" << false << "nothing.jpg";
    QTest::newRow("no_records.jpg missing") << "no no_records" << true << "no_records.jpg";
    QTest::newRow("nothing.jpg is a folder") << "nothing folder" << false << "nothing.jpg";
    QTest::newRow("nothing.jpg is noise") << "nothing noise" << false << "nothing.jpg";
    QTest::newRow("cover a dangling link") << "dangling" << false << "nothing.jpg";
}

void TestCoverFaults::imagesFolderFaults()
{
    QFETCH(QString, fault);
    QFETCH(bool, emptyList);
    QFETCH(QString, expectedFile);
    MainWindowFixture w;
    const qint64 id = emptyList ? 0 : w.folder.AddTitle({.title = "Uncovered", .director = "Someone"});
    const QString images = w.folder.ImagesPath();
    const QString nothing = images + "/nothing.jpg";
    if (fault == "no folder" || fault == "file") {
        QVERIFY(QDir(images).removeRecursively());
        if (fault == "file") {
            QFile file(images);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a folder");
        }
    } else if (fault == "no no_records") {
        QVERIFY(QFile::remove(images + "/no_records.jpg"));
    } else if (fault == "nothing folder") {
        QVERIFY(QFile::remove(nothing));
        QVERIFY(QDir().mkpath(nothing));
    } else if (fault == "nothing noise") {
        QVERIFY(QFile::remove(nothing));
        w.folder.WriteImageFile("nothing.jpg", noise(10000));
    } else if (fault == "dangling") {
        QVERIFY(QFile::link(images + "/gone.jpg", images + QString("/%1.jpg").arg(id)));
    }
    const QStringList before = QDir(w.folder.Path()).entryList(QDir::AllEntries | QDir::System);

    w.load();
    QCOMPARE(w.main->CoverFile(), images + "/" + expectedFile);
    // The fixed pictures are healthy only in the dangling-link case.
    QCOMPARE(w.main->CoverIsPlaceholder(), fault != "dangling");
    QVERIFY(!w.main->ImgCover->pixmap().isNull());
    QCOMPARE(w.main->lblTitle->text(), emptyList ? QString() : QString("Uncovered"));
    QCOMPARE(w.main->txtDirector->text(), emptyList ? QString() : QString("Someone"));

    // Nothing is created or repaired behind the user's back, and the list still works.
    QCOMPARE(QDir(w.folder.Path()).entryList(QDir::AllEntries | QDir::System), before);
    w.folder.AddTitle({.title = "Later"});
    w.main->RefreshRecords();
    QCOMPARE(w.titles().size(), emptyList ? 1 : 2);
}

void TestCoverFaults::coverWriteFails_data()
{
    QTest::addColumn<int>("step");     // FileReplacer::Step injected, or None for a real disk
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("freeBytes"); // on a small disk of its own: what is left
    QTest::addColumn<QString>("reason");
    using Step = FileReplacer::Step;
    const int none = int(Step::None);
    QTest::newRow("disk full: 0 bytes free") << none << 0 << 0 << "No space left on device.";
    QTest::newRow("disk full: 64 KiB free") << none << 0 << 65536 << "No space left on device.";
    QTest::newRow("no new file") << int(Step::Create) << ENOSPC << -1 << "No space left on device.";
    QTest::newRow("a write refused") << int(Step::Write) << ENOSPC << -1
                                     << "No space left on device.";
    QTest::newRow("the sync refused") << int(Step::Sync) << EIO << -1 << "Input/output error.";
    QTest::newRow("the copy comes out short") << int(Step::Size) << 0 << -1 << "bytes could be written.";
    QTest::newRow("the close refused") << int(Step::Close) << EDQUOT << -1 << "Disk quota exceeded.";
    QTest::newRow("the rename refused") << int(Step::Rename) << EROFS << -1
                                        << "Read-only file system.";
}

// A cover write that fails anywhere (a full disk refusing the last bytes only at the sync
// or the close, say): the old cover stays byte for byte and on screen, the message says
// why, and no temporary file is left. With the fault gone the same choice goes through.
void TestCoverFaults::coverWriteFails()
{
    QFETCH(int, step);
    QFETCH(int, code);
    QFETCH(int, freeBytes);
    QFETCH(QString, reason);
    MainWindowFixture w;
    const qint64 id = w.folder.AddTitle({.title = "Covered"});
    const QString images = w.folder.ImagesPath();
    SmallDisk disk;
    if (freeBytes >= 0 && !disk.Mount(images, 4096 + freeBytes))
        QSKIP("Mounting a small file system needs root; the injected rows check the same steps.");
    const QString cover = w.folder.WritePicture(QString("%1.jpg").arg(id), "JPG", 40, 30);
    const QByteArray old = bytesOf(cover);
    QVERIFY(old.size() > 0 && old.size() <= 4096);
    if (freeBytes >= 0)
        QCOMPARE(disk.Free(), qint64(freeBytes));
    // A 77 KB picture: larger than what is left.
    const QString chosen = w.folder.Path() + "/new.bmp";
    QVERIFY(QImage(160, 160, QImage::Format_RGB888).save(chosen, "BMP"));
    QVERIFY(QFileInfo(chosen).size() > 73000);
    w.load();
    const QStringList before = entries(images);

    FileReplacer::FailNextForTesting(FileReplacer::Step(step), code);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    CmnDialog::SetNextFileName(chosen);
    CoverChooser(*w.main).ImgCover_Click();

    QCOMPARE(MessageBox::Shown().size(), 1);
    const QString message = MessageBox::Shown().first();
    QVERIFY2(message.startsWith("The cover picture cannot be saved as \"" + cover + "\".\n"),
             qPrintable(message));
    QVERIFY2(message.contains(reason) && message.endsWith("The cover was not changed."),
             qPrintable(message));
    QVERIFY(bytesOf(cover) == old);
    QCOMPARE(entries(images), before);
    QCOMPARE(w.main->CoverFile(), cover);
    QVERIFY(!w.main->CoverIsPlaceholder());

    if (freeBytes < 0) {
        MessageBox::Reset();
        CmnDialog::SetNextFileName(chosen);
        CoverChooser(*w.main).ImgCover_Click();
        QVERIFY(MessageBox::Shown().isEmpty());
        QVERIFY(bytesOf(cover) == bytesOf(chosen));
        QCOMPARE(entries(images), before);
    }
}

void TestCoverFaults::coverLinkReplaced_data()
{
    QTest::addColumn<QString>("linkTo"); // relative to the program folder, or absolute
    QTest::newRow("a picture outside the images folder") << "outside.jpg";
    QTest::newRow("a missing file") << "gone.jpg";
    QTest::newRow("a device") << "/dev/zero";
}

// A symbolic link planted as a title's cover is replaced itself: the file it points to is
// never written.
void TestCoverFaults::coverLinkReplaced()
{
    QFETCH(QString, linkTo);
    MainWindowFixture w;
    const qint64 id = w.folder.AddTitle({.title = "Linked"});
    const QString target = linkTo.startsWith('/') ? linkTo : w.folder.Path() + "/" + linkTo;
    QByteArray outsideBytes;
    if (linkTo == "outside.jpg") {
        QVERIFY(QImage(20, 20, QImage::Format_RGB32).save(target, "JPG"));
        outsideBytes = bytesOf(target);
    }
    const QString cover = w.folder.ImagesPath() + QString("/%1.jpg").arg(id);
    QVERIFY(QFile::link(target, cover));
    const QString chosen = w.folder.Path() + "/new.png";
    QVERIFY(QImage(30, 30, QImage::Format_RGB32).save(chosen, "PNG"));
    w.load();

    CmnDialog::SetNextFileName(chosen);
    CoverChooser(*w.main).ImgCover_Click();

    QVERIFY2(MessageBox::Shown().isEmpty(), qPrintable(MessageBox::Shown().join('|')));
    QVERIFY(!QFileInfo(cover).isSymLink());
    QVERIFY(bytesOf(cover) == bytesOf(chosen));
    if (linkTo == "outside.jpg")
        QVERIFY(bytesOf(target) == outsideBytes);
    else if (linkTo == "gone.jpg")
        QVERIFY(!QFileInfo::exists(target));
    QVERIFY(!w.main->CoverIsPlaceholder());
}

QTEST_MAIN(TestCoverFaults)
#include "test_cover_faults.moc"
