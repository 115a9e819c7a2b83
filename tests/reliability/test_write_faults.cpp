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
    QTest::addColumn<QString>("counts");  // titles, cast rows, genre links, new genre after
    const QString readOnly = "attempt to write a readonly database";
    const QString locked = "database is locked";
    const QString inserting = "Error 8 inserting records.\r\n";
    QTest::newRow("save, catalogue read-only") << "catalogue" << "save" << inserting << readOnly
                                               << "2 3 2 0";
    // The journal cannot be made beside the catalogue.
    QTest::newRow("save, folder read-only") << "folder" << "save" << inserting << readOnly
                                            << "2 3 2 0";
    QTest::newRow("save, catalogue locked") << "locked" << "save" << "Error 5 inserting records.\r\n"
                                            << locked << "2 3 2 0";
    // The deletion is asked about first.
    QTest::newRow("delete, catalogue locked")
        << "locked" << "delete"
        << "Are you sure you want to delete Existing? | Error 5 deleting records.\r\n" << locked
        << "0 0 0 0";
    QTest::newRow("genre add, catalogue read-only") << "catalogue" << "genre"
                                                    << "Error 8 inserting record.\r\n" << readOnly
                                                    << "1 1 0 1";
    QTest::newRow("cover, images folder read-only")
        << "images" << "cover" << "The cover picture cannot be saved as"
        << "The cover was not changed." << "1 1 0 0";
}

void TestWriteFaults::changeUnderFault()
{
    QFETCH(QString, fault);
    QFETCH(QString, action);
    QFETCH(QString, message);
    QFETCH(QString, ending);
    QFETCH(QString, counts);
    EditorFixture e;
    const qint64 title = e.folder.AddTitle({.title = "Existing", .cast = {{"Ann", "Queen"}}});
    const QString cover = e.folder.WritePicture(QString("%1.jpg").arg(title), "JPG", 30, 40);
    const QString picture = e.folder.Path() + "/new.png";
    QVERIFY(QImage(64, 48, QImage::Format_RGB32).save(picture));
    e.folder.CloseConnection();
    e.main.Form_Load();
    const QString name = "Film \"d'Art\""; // the genre manager takes 12 characters
    std::unique_ptr<QWidget> window; // where the change is made, when not the main window
    std::function<void()> attempt;
    if (action == "save") {
        FillEditBuffer(*e.shared, "No", name, {"Drama", "Crime"}, {{"Al", "Tony"}, {"Brad", "Rusty"}});
        auto *step3 = new frmModify3(*e.shared, e.main);
        window.reset(step3);
        attempt = [step3] { step3->cmdFinish->click(); };
    } else if (action == "genre") {
        auto *genres = new frmGenre(*e.shared, nullptr);
        window.reset(genres);
        genres->Form_Load();
        // The manager empties its box after a failure: the user types the name again.
        attempt = [genres, name] {
            genres->txtGenreAdd->setText(name);
            genres->cmdGenreAdd->click();
        };
    } else if (action == "delete") {
        attempt = [&] { TitleCommands(*e.shared, e.main).DeleteTitle(); };
    } else {
        attempt = [&] {
            CmnDialog::SetNextFileName(picture);
            CoverChooser(e.main).ImgCover_Click();
        };
    }
    if (window)
        window->show();
    const QString target = fault == "catalogue" ? e.folder.CataloguePath()
                           : fault == "images"  ? e.folder.ImagesPath()
                                                : e.folder.Path();
    Child holder;
    if (fault == "locked")
        QVERIFY2(holder.Start({"hold", e.folder.Path(), "lock"}, "locked"), holder.Said());
    else
        QVERIFY(QFile::setPermissions(target, ReadOnly));
    const QByteArray catalogue = e.folder.CatalogueBytes();
    const QByteArray coverBytes = TestFolder::ReadFile(cover);
    const QStringList entries = Entries(e.folder.Path()) + Entries(e.folder.ImagesPath());

    for (int i = 0; i < 3; ++i)
        MessageBox::SetNextAnswer(QMessageBox::Ok);
    attempt();
    const QString first = MessageBox::Shown().join(" | ");
    QVERIFY2(first.startsWith(message) && first.endsWith(ending), qPrintable(first));
    QVERIFY(window ? window->isVisible() : e.main.isEnabled());
    QVERIFY(action != "save" || (e.shared->EditTitle == name && e.Actors().size() == 2));
    QCOMPARE(e.folder.CatalogueBytes(), catalogue);
    QCOMPARE(TestFolder::ReadFile(cover), coverBytes);
    QCOMPARE(Entries(e.folder.Path()) + Entries(e.folder.ImagesPath()), entries);

    // The fault goes away; the same change is made again and goes through once.
    QVERIFY(fault == "locked" ? holder.Finish()
                              : QFile::setPermissions(target, ReadOnly | QFile::WriteOwner));
    MessageBox::Reset();
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    attempt();
    QCOMPARE(MessageBox::Shown().filter("Error"), QStringList());
    QCOMPARE(e.folder.Scalar("PRAGMA integrity_check").toString(), QString("ok"));
    QCOMPARE(e.folder.Scalar("SELECT (SELECT COUNT(*) FROM DVD_Title) || ' ' || (SELECT COUNT(*) "
                             "FROM Cast_Relationships) || ' ' || (SELECT COUNT(*) FROM "
                             "Genre_Relationships) || ' ' || (SELECT COUNT(*) FROM Genre WHERE "
                             "Genre = ?)", {name}).toString(),
             counts);
    QCOMPARE(QFile::exists(cover), action != "delete"); // removed once the rows were gone
    if (action == "cover")
        QCOMPARE(TestFolder::ReadFile(cover), TestFolder::ReadFile(picture));
}

QTEST_MAIN(TestWriteFaults)
#include "test_write_faults.moc"
