// Changes made through the program while the catalogue or the images folder cannot be
// written (read-only file or folder, another process holding a write lock): the message,
// the window still open with the input kept, nothing written and no file left behind;
// then, with the fault gone, the same change goes through once.
#include "BusyTimeout.h"
#include "Child.h"
#include "CmnDialog.h"
#include "CoverChooser.h"
#include "EditorFixture.h"
#include "MessageBox.h"
#include "TitleCommands.h"
#include "frmGenre.h"
#include "frmModify3.h"

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestWriteFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(RunAsNobody());
        BusyTimeout::SetForTesting(1000);
    }
    void cleanup()
    {
        MessageBox::Reset();
        CmnDialog::Reset();
    }
    void changeUnderFault_data();
    void changeUnderFault();
};

void TestWriteFaults::changeUnderFault_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("message"); // how the first try's message starts
    QTest::addColumn<QString>("ending");  // and how it ends

    const QString readOnly = "attempt to write a readonly database";
    QTest::newRow("save, catalogue read-only") << "catalogue" << "save"
        << "Error 8 inserting records.\r\n" << readOnly;
    // The journal cannot be made beside the catalogue.
    QTest::newRow("save, folder read-only") << "folder" << "save"
        << "Error 8 inserting records.\r\n" << readOnly;
    QTest::newRow("save, catalogue locked") << "locked" << "save"
        << "Error 5 inserting records.\r\n" << "database is locked";
    // The deletion is asked about first.
    QTest::newRow("delete, catalogue locked") << "locked" << "delete"
        << "Are you sure you want to delete Existing? | Error 5 deleting records.\r\n"
        << "database is locked";
    QTest::newRow("genre add, catalogue read-only") << "catalogue" << "genre"
        << "Error 8 inserting record.\r\n" << readOnly;
    QTest::newRow("cover, images folder read-only") << "images" << "cover"
        << "The cover picture cannot be saved as" << "The cover was not changed.";
}

void TestWriteFaults::changeUnderFault()
{
    QFETCH(QString, fault);
    QFETCH(QString, action);
    QFETCH(QString, message);
    QFETCH(QString, ending);
    EditorFixture e;
    const qint64 title = e.folder.AddTitle({.title = "Existing", .cast = {{"Ann", "Queen"}}});
    const QString cover = e.folder.WritePicture(QString("%1.jpg").arg(title), "JPG", 30, 40);
    const QString picture = e.folder.Path() + "/new.png";
    QVERIFY(QImage(64, 48, QImage::Format_RGB32).save(picture));
    e.folder.CloseConnection();
    e.main.Form_Load();

    std::function<void()> attempt;
    std::function<bool()> open = [&] { return e.main.isEnabled(); };
    std::function<bool()> kept = [] { return true; };
    const QString name = "Film \"d'Art\""; // the genre manager takes 12 characters
    std::unique_ptr<frmModify3> step3;
    std::unique_ptr<frmGenre> genres;
    if (action == "save") {
        FillEditBuffer(*e.shared, "No", name, {"Drama", "Crime"},
                       {{"George", "Danny"}, {"Brad", "Rusty"}});
        step3 = std::make_unique<frmModify3>(*e.shared, e.main);
        step3->show();
        attempt = [&] { step3->cmdFinish->click(); };
        open = [&] { return step3->isVisible(); };
        kept = [&] { return e.shared->EditTitle == name && e.Actors() == QStringList{"George", "Brad"}; };
    } else if (action == "genre") {
        genres = std::make_unique<frmGenre>(*e.shared, nullptr);
        genres->Form_Load();
        genres->show();
        // The manager empties its box after a failure: the user types the name again.
        attempt = [&] {
            genres->txtGenreAdd->setText(name);
            genres->cmdGenreAdd->click();
        };
        open = [&] { return genres->isVisible(); };
    } else if (action == "delete") {
        attempt = [&] { TitleCommands(*e.shared, e.main).DeleteTitle(); };
    } else {
        attempt = [&] {
            CmnDialog::SetNextFileName(picture);
            CoverChooser(e.main).ImgCover_Click();
        };
    }
    const QString target = fault == "catalogue" ? e.folder.CataloguePath()
                           : fault == "images"  ? e.folder.ImagesPath()
                                                : e.folder.Path();
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    Child holder;
    if (fault == "locked")
        QVERIFY2(holder.Start({"hold", e.folder.Path(), "lock"}, "locked"), holder.Said());
    else
        QVERIFY(QFile::setPermissions(target, readOnly));
    const QByteArray catalogue = e.folder.CatalogueBytes();
    const QByteArray coverBytes = TestFolder::ReadFile(cover);
    const auto entries = [&] {
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
        return QDir(e.folder.Path()).entryList(all) + QDir(e.folder.ImagesPath()).entryList(all);
    };
    const QStringList before = entries();

    for (int i = 0; i < 3; ++i)
        MessageBox::SetNextAnswer(QMessageBox::Ok);
    attempt();
    const QString first = MessageBox::Shown().join(" | ");
    QVERIFY2(first.startsWith(message) && first.endsWith(ending), qPrintable(first));
    QVERIFY(open());
    QVERIFY(kept());
    QCOMPARE(e.folder.CatalogueBytes(), catalogue);
    QCOMPARE(TestFolder::ReadFile(cover), coverBytes);
    QCOMPARE(entries(), before);

    // The fault goes away; the same change is made again and goes through once.
    if (fault == "locked")
        QVERIFY(holder.Finish());
    else
        QVERIFY(QFile::setPermissions(target, readOnly | QFile::WriteOwner));
    MessageBox::Reset();
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    attempt();
    QCOMPARE(MessageBox::Shown().filter("Error"), QStringList());
    QCOMPARE(e.folder.Scalar("PRAGMA integrity_check").toString(), QString("ok"));
    QStringList expected = before;
    if (action == "delete") // its cover removed once the rows were gone
        expected.removeAll(QString("%1.jpg").arg(title));
    QCOMPARE(entries(), expected);
    const int titles = e.folder.Scalar("SELECT COUNT(*) FROM DVD_Title").toInt();
    const int cast = e.folder.Scalar("SELECT COUNT(*) FROM Cast_Relationships").toInt();
    if (action == "save") {
        QCOMPARE(titles, 2);
        QCOMPARE(cast, 3);
        QCOMPARE(e.folder.Scalar("SELECT COUNT(*) FROM Genre_Relationships").toInt(), 2);
    } else if (action == "delete") {
        QCOMPARE(titles + cast, 0);
    } else if (action == "genre") {
        QCOMPARE(e.folder.Scalar("SELECT COUNT(*) FROM Genre WHERE Genre = ?", {name}).toInt(), 1);
    } else {
        QCOMPARE(TestFolder::ReadFile(cover), TestFolder::ReadFile(picture));
    }
}

QTEST_MAIN(TestWriteFaults)
#include "test_write_faults.moc"
