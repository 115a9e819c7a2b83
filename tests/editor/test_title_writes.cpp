// What the editor and the Delete command write: a title with its genre links and cast,
// all or nothing, and nothing held while a failure is reported.
#include "BusyTimeout.h"
#include "EditorCast.h"
#include "EditorFixture.h"
#include "TitleCommands.h"
#include "frmModify3.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// Empty when a connection that does not wait can take the catalogue for itself.
QString lockHolderSeenFrom(const QString &catalogue)
{
    QString error;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(catalogue);
        other.setConnectOptions("QSQLITE_BUSY_TIMEOUT=0");
        QSqlQuery query(other);
        if (!other.open() || !query.exec("BEGIN EXCLUSIVE"))
            error = query.lastError().text() + other.lastError().text();
        else
            query.exec("ROLLBACK");
    }
    QSqlDatabase::removeDatabase("other");
    return error;
}

bool save(EditorFixture &e)
{
    frmModify3 window(*e.shared, e.main);
    return window.SaveTitle();
}

} // namespace

class TestTitleWrites : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each lock met costs a second, not five.
    void initTestCase() { BusyTimeout::SetForTesting(1000); }
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        MessageBox::Reset();
    }

    void failedSaveThenRetry_data();
    void failedSaveThenRetry();
    void deleteTitle_data();
    void deleteTitle();
    void modifyLoadsTheRowsOwnTitle();
};

void TestTitleWrites::failedSaveThenRetry_data()
{
    QTest::addColumn<bool>("modify");
    QTest::addColumn<QString>("plant");   // what makes the first save fail
    QTest::addColumn<QString>("message"); // how its message starts
    QTest::addColumn<QString>("detail");  // and a part of the rest
    const QString refuseCast = "CREATE TRIGGER refuse BEFORE INSERT ON Cast_Relationships "
                               "WHEN NEW.Actor = 'O''Hara' BEGIN SELECT RAISE(ABORT, 'cast refused'); END";
    const QString refuseUnlink = "CREATE TRIGGER refuse BEFORE DELETE ON Genre_Relationships "
                                 "BEGIN SELECT RAISE(ABORT, 'links kept'); END";
    const QString noRow = "Error 3021 inserting records.\r\n";
    QTest::newRow("modify, genre removed") << true << "genre" << noRow << "Either BOF or EOF is True";
    QTest::newRow("add, last cast row refused")
        << false << refuseCast << "Error 19 inserting records.\r\n" << "cast refused";
    QTest::newRow("modify, old links cannot be removed")
        << true << refuseUnlink << "Error 19 deleting records.\r\n" << "links kept";
    // Another connection reading in a transaction keeps the save from committing.
    QTest::newRow("add, a reader in the way at commit")
        << false << "reader" << "Error 5 inserting records.\r\n" << "database is locked";
    // Deleted by another copy: Cancel first, then Save as New Title.
    QTest::newRow("modify, title deleted meanwhile")
        << true << "deleted" << "The title \"Changed's\" was deleted meanwhile" << "Save it as a new title";
}

// The first save fails: one message, shown with the catalogue free for others, the catalogue
// as it was and the edit buffer kept. Once the cause is gone, Finish again stores the edit
// buffer exactly once, quotes as typed.
void TestTitleWrites::failedSaveThenRetry()
{
    QFETCH(bool, modify);
    QFETCH(QString, plant);
    QFETCH(QString, message);
    QFETCH(QString, detail);
    EditorFixture e;
    const qint64 other = e.folder.AddTitle({.title = "Other", .genres = {"War"}, .cast = {{"O1", "O2"}}});
    const qint64 stored = e.folder.AddTitle(
        {.title = "Stored", .genres = {"Drama", "Action"}, .cast = {{"Old", "Cast"}}});
    // IDs beyond 16 bits are written and read back whole.
    e.folder.Exec("UPDATE sqlite_sequence SET seq = 70000 WHERE name = 'DVD_Title'");
    if (plant.startsWith("CREATE"))
        e.folder.Exec(plant);
    if (plant == "deleted")
        for (const char *rows : {"DVD_Title WHERE ID", "Genre_Relationships WHERE Title_ID",
                                 "Cast_Relationships WHERE Movie"})
            e.folder.Exec(QString("DELETE FROM %1 = ?").arg(rows), {stored});
    e.Fill(modify ? "Yes" : "No", "Changed's", {"Action", plant == "genre" ? "Gone Genre" : "", "Comedy"},
           {{QVariant(), "Role"}, {"O'Hara", "Scarlett"}}, modify ? stored : 0);
    e.shared->EditDate = "0099"; // text, not the number 99
    e.shared->EditWishList = 1;
    const QByteArray before = e.folder.CatalogueBytes();
    if (plant == "reader") {
        e.folder.Exec("BEGIN");
        e.folder.Scalar("SELECT COUNT(*) FROM DVD_Title");
    }

    QString lockHolder = "no message";
    ModalWaiter waiter;
    waiter.Expect<QMessageBox>([&](QMessageBox *box) {
        if (plant == "reader")
            e.folder.Exec("COMMIT");
        lockHolder = lockHolderSeenFrom(e.folder.CataloguePath());
        QAbstractButton *cancel = box->button(QMessageBox::Cancel);
        (cancel ? cancel : box->button(QMessageBox::Ok))->click();
    });
    QVERIFY(!save(e));
    QCOMPARE(lockHolder, QString());
    QCOMPARE(MessageBox::Shown().size(), 1);
    QVERIFY2(MessageBox::Shown()[0].startsWith(message) && MessageBox::Shown()[0].contains(detail),
             qPrintable(MessageBox::Shown()[0]));
    QCOMPARE(MessageBox::ShownTitles()[0],
             plant == "deleted" ? frmModify3::DeletedMeanwhileTitle() : MessageBox::ApplicationTitle());
    QVERIFY(e.folder.CatalogueBytes() == before);
    QCOMPARE(e.shared->EditTitle, QString("Changed's"));
    QCOMPARE(e.shared->CastRecords->RecordCount(), 2);

    if (plant.startsWith("CREATE"))
        e.folder.Exec("DROP TRIGGER refuse");
    e.shared->GenrePicks[1].clear();
    MessageBox::Reset();
    MessageBox::SetNextAnswer(QMessageBox::Save); // asked again when deleted meanwhile
    QVERIFY(save(e));
    QCOMPARE(MessageBox::Shown().size(), plant == "deleted" ? 1 : 0);

    const qint64 id = modify && plant != "deleted" ? stored : 70001;
    QCOMPARE(e.folder.Rows("SELECT Title, Date, typeof(Date), WishList FROM DVD_Title WHERE ID = ?", {id}),
             (QVector<QVariantList>{{"Changed's", "0099", "text", 1}}));
    QCOMPARE(e.folder.Scalar("SELECT COUNT(*) FROM DVD_Title").toInt(), modify ? 2 : 3);
    QCOMPARE(e.StoredGenres(id), (QStringList{"Action", "Comedy"}));
    QCOMPARE(storedCast(e.folder, id), (QStringList{" as Role", "O'Hara as Scarlett"}));
    QCOMPARE(e.StoredGenres(other), QStringList{"War"});
    QCOMPARE(storedCast(e.folder, other), QStringList{"O1 as O2"});
    QVERIFY(e.folder.Rows("SELECT Movie FROM Cast_Relationships WHERE Movie NOT IN "
                          "(SELECT ID FROM DVD_Title)").isEmpty());
}

void TestTitleWrites::deleteTitle_data()
{
    QTest::addColumn<QString>("cover"); // file, or stubborn (a folder in its place)
    QTest::addColumn<int>("answer");    // to the question
    QTest::addColumn<bool>("failing");  // the last statement refused
    QTest::addColumn<QString>("more");  // how a second message starts
    QTest::newRow("deleted with its cover") << "file" << int(QMessageBox::Ok) << false << "";
    QTest::newRow("answered Cancel") << "file" << int(QMessageBox::Cancel) << false << "";
    QTest::newRow("last statement fails") << "file" << int(QMessageBox::Ok) << true << "Error 19 deleting";
    QTest::newRow("cover cannot be removed")
        << "stubborn" << int(QMessageBox::Ok) << false << "The title was deleted, but its cover picture";
}

// Brazil (the second of three titles) goes with its links and cast in one transaction, its
// cover only after the rows are gone; the others keep theirs.
void TestTitleWrites::deleteTitle()
{
    QFETCH(QString, cover);
    QFETCH(int, answer);
    QFETCH(bool, failing);
    QFETCH(QString, more);
    EditorFixture e;
    const qint64 keep = e.folder.AddTitle(
        {.title = "Alien", .genres = {"Horror"}, .cast = {{"Sigourney Weaver", "Ripley"}}});
    const qint64 gone = e.folder.AddTitle({.title = "Brazil", .genres = {"Sci-Fi", "Comedy"},
                                           .cast = {{"Jonathan Pryce", "Sam Lowry"},
                                                    {"Robert De Niro", "Tuttle"}}});
    e.folder.AddTitle({.title = "Casablanca"});
    const QString keptCover = e.folder.WritePicture(QString("%1.jpg").arg(keep), "JPG", 4, 4);
    const QString goneCover = e.folder.ImagesPath() + QString("/%1.jpg").arg(gone);
    if (cover == "file")
        e.folder.WritePicture(QString("%1.jpg").arg(gone), "JPG", 4, 4);
    else
        QVERIFY(QDir().mkpath(goneCover + "/inside"));
    if (failing)
        e.folder.Exec("CREATE TRIGGER refuse BEFORE DELETE ON Cast_Relationships "
                      "BEGIN SELECT RAISE(ABORT, 'cast is locked'); END");
    e.main.Form_Load();
    e.main.UltraGrid->ActivateRow(1);
    const QByteArray before = e.folder.CatalogueBytes();
    const auto rowsOf = [&](qint64 id) {
        return e.folder.Rows("SELECT (SELECT COUNT(*) FROM DVD_Title WHERE ID = ?), "
                             "(SELECT COUNT(*) FROM Genre_Relationships WHERE Title_ID = ?), "
                             "(SELECT COUNT(*) FROM Cast_Relationships WHERE Movie = ?)",
                             {id, id, id})[0];
    };

    MessageBox::SetNextAnswer(QMessageBox::StandardButton(answer));
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    TitleCommands(*e.shared, e.main).DeleteTitle();

    QStringList messages{"Are you sure you want to delete Brazil?"};
    if (!more.isEmpty())
        messages << more;
    QCOMPARE(shownCutTo(messages), messages);
    QCOMPARE(MessageBox::ShownTitles()[0], QString("Confirm Title Deletion"));
    QCOMPARE(rowsOf(keep), (QVariantList{1, 1, 1}));
    QVERIFY(QFile::exists(keptCover));
    const bool deleted = answer == QMessageBox::Ok && !failing;
    QCOMPARE(e.folder.CatalogueBytes() == before, !deleted);
    QCOMPARE(rowsOf(gone), deleted ? (QVariantList{0, 0, 0}) : (QVariantList{1, 2, 2}));
    QCOMPARE(QFileInfo::exists(goneCover), !deleted || cover == "stubborn");
    if (failing)
        QVERIFY(MessageBox::Shown()[1].endsWith("cast is locked"));
    if (cover == "stubborn")
        QVERIFY(MessageBox::Shown()[1].contains(QDir::toNativeSeparators(goneCover)));
    QCOMPARE(e.main.lblRecordSelected->text(), QString(deleted ? "1 of 2" : "2 of 3")); // reloaded?
    QCOMPARE(e.shared->SelectedTitleId, deleted ? keep : gone);
}

// The main window shows the row before's title for a row without one; Modify must not
// load that name, or Finish would rename this title.
void TestTitleWrites::modifyLoadsTheRowsOwnTitle()
{
    EditorFixture e;
    e.folder.AddTitle({.title = "Alien"});
    e.folder.AddTitle({.title = ""});
    e.main.Form_Load();
    e.main.UltraGrid->ActivateRow(1);
    e.main.UltraGrid->ActivateRow(0);
    QCOMPARE(e.main.KeptTitle(), QString("Alien"));
    QString loaded = "no editor";
    ModalWaiter waiter;
    waiter.Expect<QDialog>([&](QDialog *step) {
        loaded = e.shared->EditTitle;
        step->reject();
    });
    TitleCommands(*e.shared, e.main).ModifyTitle();
    QCOMPARE(loaded, QString(""));
}

QTEST_MAIN(TestTitleWrites)
#include "test_title_writes.moc"
