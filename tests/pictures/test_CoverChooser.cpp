// Choosing a cover: the file copied over the title's cover atomically and shown, and
// files that are refused. Write faults are in reliability/test_cover_faults.
#include "CmnDialog.h"
#include "CoverChooser.h"
#include "MessageBox.h"
#include "MainWindowFixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>


namespace {

// One catalogue with two titles, the main window loaded on the first (in title order).
struct Fixture : MainWindowFixture
{
    qint64 id = 0;

    explicit Fixture(bool withTitles = true)
    {
        if (withTitles) {
            folder.AddTitle({.title = QStringLiteral("Zulu")});
            id = folder.AddTitle({.title = QStringLiteral("Alpha")});
        }
        load();
    }
    QString Cover() const { return folder.ImagesPath() + QStringLiteral("/%1.jpg").arg(id); }
    // An existing cover, shown; its bytes.
    QByteArray WriteCover(const char *format, const QColor &colour)
    {
        folder.WritePicture(QStringLiteral("%1.jpg").arg(id), format, 40, 40, colour);
        main->DisplayCoverImage();
        return TestFolder::ReadFile(Cover());
    }
    QStringList ImageFiles() const
    {
        return QDir(folder.ImagesPath()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    void Click() { CoverChooser(*main).ImgCover_Click(); }
};

} // namespace

class TestCoverChooser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void gifIsStoredAsJpgAndShown();
    void replacesExistingCover();
    void choosingTheCurrentCoverKeepsIt();
    void cancelChangesNothing();
    void emptyListOpensNothing();
    void refusedFiles_data();
    void refusedFiles();
    void missingImagesFolder();
};

void TestCoverChooser::cleanup()
{
    CmnDialog::Reset();
    MessageBox::Reset();
}

void TestCoverChooser::gifIsStoredAsJpgAndShown()
{
    Fixture f;
    QVERIFY(f.folder.IsValid());
    // A folder name with an apostrophe, a quote and letters beyond ASCII.
    const QString elsewhere = f.folder.Path() + QStringLiteral("/Dan's \"Scans\" – été");
    QVERIFY(QDir().mkpath(elsewhere));
    const QString gif = elsewhere + QStringLiteral("/poster.GIF");
    QVERIFY(TestFolder::WriteFile(gif, TestFolder::SampleGif()));
    QVERIFY(!QFile::exists(f.Cover()));

    CmnDialog::SetNextFileName(gif);
    f.Click();

    QCOMPARE(CmnDialog::Requests(), 1);
    QVERIFY(MessageBox::Shown().isEmpty());
    QCOMPARE(TestFolder::ReadFile(f.Cover()), TestFolder::SampleGif());
    QCOMPARE(f.main->CoverFile(), f.Cover());
    QVERIFY(!f.main->CoverIsPlaceholder());
    // The GIF's own picture: red over blue, kept in proportion in the cover area.
    const QImage shown = f.main->ImgCover->pixmap().toImage();
    QCOMPARE(shown.pixelColor(shown.width() / 2, 5), QColor(0xc0, 0x30, 0x30));
    QCOMPARE(shown.pixelColor(shown.width() / 2, shown.height() - 5), QColor(0x30, 0x50, 0xc0));
    QCOMPARE(f.ImageFiles(), (QStringList{QStringLiteral("%1.jpg").arg(f.id),
                                          QStringLiteral("no_records.jpg"),
                                          QStringLiteral("nothing.jpg")}));
}

void TestCoverChooser::replacesExistingCover()
{
    Fixture f;
    QVERIFY(f.folder.IsValid());
    f.WriteCover("JPG", Qt::green);
    const QString png = f.folder.WritePicture(QStringLiteral("new.png"), "PNG", 50, 70, Qt::blue);

    CmnDialog::SetNextFileName(png);
    f.Click();

    QCOMPARE(TestFolder::ReadFile(f.Cover()), TestFolder::ReadFile(png));
    const QImage shown = f.main->ImgCover->pixmap().toImage();
    QCOMPARE(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::blue));
    // No temporary file is left behind.
    QCOMPARE(f.ImageFiles().size(), 4);
}

void TestCoverChooser::choosingTheCurrentCoverKeepsIt()
{
    Fixture f;
    QVERIFY(f.folder.IsValid());
    const QByteArray before = f.WriteCover("PNG", Qt::yellow);

    CmnDialog::SetNextFileName(f.Cover());
    f.Click();

    QVERIFY(MessageBox::Shown().isEmpty());
    QCOMPARE(TestFolder::ReadFile(f.Cover()), before);
    QVERIFY(!f.main->CoverIsPlaceholder());
}

void TestCoverChooser::cancelChangesNothing()
{
    Fixture f;
    QVERIFY(f.folder.IsValid());
    const QByteArray before = f.WriteCover("JPG", Qt::green);
    const qint64 shownBefore = f.main->ImgCover->pixmap().cacheKey();

    CmnDialog::SetNextFileName(QString());
    f.Click();

    QCOMPARE(CmnDialog::Requests(), 1);
    QVERIFY(MessageBox::Shown().isEmpty());
    QCOMPARE(TestFolder::ReadFile(f.Cover()), before);
    QCOMPARE(f.main->ImgCover->pixmap().cacheKey(), shownBefore);
}

void TestCoverChooser::emptyListOpensNothing()
{
    Fixture f(false);
    QVERIFY(f.folder.IsValid());
    QCOMPARE(f.main->RecordCount(), 0);
    const QString png = f.folder.WritePicture(QStringLiteral("new.png"), "PNG", 10, 10);
    const QStringList before = f.ImageFiles();

    CmnDialog::SetNextFileName(png);
    f.Click();

    QCOMPARE(CmnDialog::Requests(), 0);
    QCOMPARE(f.ImageFiles(), before);
    QCOMPARE(QFileInfo(f.main->CoverFile()).fileName(), QStringLiteral("no_records.jpg"));
}

void TestCoverChooser::refusedFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("says");

    QTest::newRow("text named .jpg") << "notes.jpg" << QByteArray("SELECT * FROM DVD_Title; --")
                                     << "is not a picture that can be shown";
    QTest::newRow("truncated picture header") << "cut.png"
                                              << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10)
                                              << "is not a picture that can be shown";
    QTest::newRow("empty file") << "empty.gif" << QByteArray() << "is not a picture";
    QTest::newRow("missing file") << "gone.jpg" << QByteArray("-") << "does not exist";
    QTest::newRow("a folder") << "folder.jpg" << QByteArray("/") << "is not a file";
}

void TestCoverChooser::refusedFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, says);
    Fixture f;
    QVERIFY(f.folder.IsValid());
    const QByteArray before = f.WriteCover("JPG", Qt::green);

    const QString chosen = f.folder.Path() + QLatin1Char('/') + name;
    if (content == "/")
        QVERIFY(QDir().mkpath(chosen));
    else if (content != "-")
        QVERIFY(TestFolder::WriteFile(chosen, content));
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    CmnDialog::SetNextFileName(chosen);
    f.Click();

    QCOMPARE(MessageBox::Shown().size(), 1);
    const QString message = MessageBox::Shown().first();
    QVERIFY2(message.contains(QDir::toNativeSeparators(chosen)), qPrintable(message));
    QVERIFY2(message.contains(says), qPrintable(message));
    QCOMPARE(MessageBox::ShownTitles().first(), QStringLiteral("Reelvane"));
    QCOMPARE(TestFolder::ReadFile(f.Cover()), before);
    QVERIFY(!f.main->CoverIsPlaceholder());
    QCOMPARE(f.ImageFiles().size(), 3);
}

void TestCoverChooser::missingImagesFolder()
{
    Fixture f;
    QVERIFY(f.folder.IsValid());
    QVERIFY(QDir(f.folder.ImagesPath()).removeRecursively());
    const QString png = f.folder.Path() + QStringLiteral("/new.png");
    QVERIFY(QImage(10, 10, QImage::Format_RGB32).save(png));

    MessageBox::SetNextAnswer(QMessageBox::Ok);
    CmnDialog::SetNextFileName(png);
    f.Click();

    QCOMPARE(MessageBox::Shown().size(), 1);
    QVERIFY2(MessageBox::Shown().first().contains(QStringLiteral("\"") + f.folder.ImagesPath()
                                                  + QStringLiteral("\" does not exist")),
             qPrintable(MessageBox::Shown().first()));
    // The program never creates the folder itself.
    QVERIFY(!QFileInfo::exists(f.folder.ImagesPath()));
}

QTEST_MAIN(TestCoverChooser)
#include "test_CoverChooser.moc"
