// Changes made through the program's windows while the catalogue or the images folder
// cannot be written (read-only file or folder, another process holding a write lock):
// the documented message, the window still open, nothing written, no file left behind;
// then, with the fault gone, the same change goes through exactly once.
//
// The windows run in a child process as an unprivileged user when the tests run as root,
// for whom file permissions stop no write.
#include "ChildProcess.h"
#include "TestFolder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTest>

namespace {

QStringList entries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                | QDir::NoDotAndDotDot);
}

QString field(const QString &report, const QString &name)
{
    for (const QString &line : report.split('\n'))
        if (line.startsWith(name + ": "))
            return line.mid(name.size() + 2);
    return QStringLiteral("<missing>");
}

} // namespace

class TestWriteFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void changeUnderFault_data();
    void changeUnderFault();
};

void TestWriteFaults::changeUnderFault_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("newName");
    // What the first try shows (CR LF as <CRLF>, LF as <LF>): how it starts and ends.
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("driverText");
    QTest::addColumn<bool>("inputKept");

    const QString readOnly = "attempt to write a readonly database";
    const QString locked = "database is locked";
    QTest::newRow("save, catalogue read-only") << "catalogue-readonly" << "save" << "" << ""
        << "Error 8 inserting records.<CRLF>" << readOnly << true;
    // The journal cannot be made beside the catalogue.
    QTest::newRow("save, folder read-only") << "folder-readonly" << "save" << "" << ""
        << "Error 8 inserting records.<CRLF>" << readOnly << true;
    QTest::newRow("save, catalogue locked") << "locked" << "save" << "" << ""
        << "Error 5 inserting records.<CRLF>" << locked << true;
    // The deletion is asked about first.
    QTest::newRow("delete, catalogue read-only") << "catalogue-readonly" << "delete" << "" << ""
        << "Are you sure you want to delete Existing? | Error 8 deleting records.<CRLF>"
        << readOnly << true;
    QTest::newRow("delete, catalogue locked") << "locked" << "delete" << "" << ""
        << "Are you sure you want to delete Existing? | Error 5 deleting records.<CRLF>"
        << locked << true;
    // The genre manager empties its box after a failure; the user types the name again.
    QTest::newRow("genre add, catalogue read-only")
        << "catalogue-readonly" << "genre-add" << "Film d'Art" << ""
        << "Error 8 inserting record.<CRLF>" << readOnly << false;
    QTest::newRow("genre add, catalogue locked") << "locked" << "genre-add" << "100%_Noir" << ""
        << "Error 5 inserting record.<CRLF>" << locked << false;
    QTest::newRow("genre rename, catalogue read-only")
        << "catalogue-readonly" << "genre-rename" << "Drama" << "Drame \"vrai\""
        << "Error 8 modifying record.<CRLF>" << readOnly << false;
    // The removal is asked about first.
    QTest::newRow("genre remove, folder read-only")
        << "folder-readonly" << "genre-remove" << "Western" << ""
        << "Are you sure you want to delete Western? | Error 8 modifying record.<CRLF>"
        << readOnly << false;
    QTest::newRow("cover, images folder read-only") << "images-readonly" << "cover" << "" << ""
        << "The cover picture cannot be saved as" << "The cover was not changed." << true;
}

void TestWriteFaults::changeUnderFault()
{
    QFETCH(QString, fault);
    QFETCH(QString, action);
    QFETCH(QString, name);
    QFETCH(QString, newName);
    QFETCH(QString, message);
    QFETCH(QString, driverText);
    QFETCH(bool, inputKept);

    TestFolder folder;
    const qint64 title = folder.AddTitle({.title = "Existing", .genres = {"Drama"},
                                          .cast = {{"Ann", "Queen"}}});
    const QString cover = folder.WritePicture(QString("%1.jpg").arg(title), "JPG", 30, 40);
    const QString picture = folder.Path() + "/new.png";
    QVERIFY(QImage(64, 48, QImage::Format_RGB32).save(picture));
    const qint64 dramaId = folder.GenreId("Drama");
    folder.CloseConnection();
    QVERIFY(ChildProcess::HandToUnprivilegedUser(folder.Path()));
    QProcess holder; // another process's write transaction
    if (fault == "locked") {
        ChildProcess::Start(holder, {"hold", folder.Path(), "lock"});
        QByteArray said;
        QVERIFY2(ChildProcess::WaitFor(holder, "locked", &said), said);
    }
    const QByteArray catalogueBefore = folder.CatalogueBytes();
    QFile coverFile(cover);
    QVERIFY(coverFile.open(QIODevice::ReadOnly));
    const QByteArray coverBefore = coverFile.readAll();
    coverFile.close();
    const QStringList folderBefore = entries(folder.Path());
    const QStringList imagesBefore = entries(folder.ImagesPath());

    QProcess child;
    ChildProcess::Start(child, {"write", folder.Path(), fault, action,
                                action == "cover" ? picture : name, newName},
                        ChildProcess::Unprivileged);
    QByteArray said;
    QVERIFY2(ChildProcess::WaitFor(child, "waiting", &said), said);
    const QString first = QString::fromUtf8(said);

    // The first try: the message, the window open, and nothing written anywhere.
    QVERIFY2(field(first, "first").startsWith(message), qPrintable(first));
    QVERIFY2(field(first, "first").endsWith(driverText), qPrintable(first));
    QCOMPARE(field(first, "open"), QString("1"));
    QCOMPARE(field(first, "done"), QString("0"));
    if (inputKept)
        QCOMPARE(field(first, "kept"), QString("1"));
    QCOMPARE(folder.CatalogueBytes(), catalogueBefore);
    QCOMPARE(entries(folder.Path()), folderBefore);
    QCOMPARE(entries(folder.ImagesPath()), imagesBefore);
    QVERIFY(coverFile.open(QIODevice::ReadOnly));
    QCOMPARE(coverFile.readAll(), coverBefore);
    coverFile.close();

    // The fault goes away; the same change is made again and goes through once.
    if (fault == "locked") {
        holder.write("\n");
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(30000));
        QCOMPARE(holder.exitCode(), 0);
    }
    child.write("\n");
    child.closeWriteChannel();
    QVERIFY(child.waitForFinished(30000));
    const QString second = QString::fromUtf8(child.readAllStandardOutput());
    QCOMPARE(child.exitCode(), 0);
    QVERIFY2(!field(second, "second").contains("Error"), qPrintable(second));
    QCOMPARE(field(second, "done"), QString("1"));

    QCOMPARE(folder.Scalar("PRAGMA integrity_check").toString(), QString("ok"));
    QCOMPARE(entries(folder.Path()), folderBefore);
    if (action == "save") {
        const auto rows = folder.Rows("SELECT ID, Summary FROM DVD_Title WHERE ID <> ?", {title});
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][1].toString(), QString("x'); DROP TABLE DVD_Title; --"));
        QCOMPARE(folder.Scalar("SELECT COUNT(*) FROM Cast_Relationships WHERE Movie = ?",
                               {rows[0][0]}).toInt(), 2);
        QCOMPARE(folder.Scalar("SELECT COUNT(*) FROM Genre_Relationships WHERE Title_ID = ?",
                               {rows[0][0]}).toInt(), 2);
    } else if (action == "genre-add") {
        QCOMPARE(folder.Scalar("SELECT COUNT(*) FROM Genre WHERE Genre = ?", {name}).toInt(), 1);
    } else if (action == "genre-rename") {
        QCOMPARE(folder.GenreId(newName), dramaId);
        QCOMPARE(folder.GenreId(name), 0);
    } else if (action == "genre-remove") {
        QCOMPARE(folder.GenreId(name), 0);
    } else if (action == "delete") {
        QCOMPARE(folder.Scalar("SELECT COUNT(*) FROM DVD_Title").toInt(), 0);
        QCOMPARE(folder.Scalar("SELECT COUNT(*) FROM Genre_Relationships").toInt(), 0);
        QCOMPARE(folder.Scalar("SELECT COUNT(*) FROM Cast_Relationships").toInt(), 0);
        QVERIFY(!QFile::exists(cover)); // removed once the rows were gone
        return;
    } else if (action == "cover") {
        QVERIFY(coverFile.open(QIODevice::ReadOnly));
        QFile source(picture);
        QVERIFY(source.open(QIODevice::ReadOnly));
        QCOMPARE(coverFile.readAll(), source.readAll());
        QCOMPARE(entries(folder.ImagesPath()), imagesBefore);
    }
    // The title that was there keeps its links whatever happened around it.
    QCOMPARE(folder.Scalar("SELECT COUNT(*) FROM Cast_Relationships WHERE Movie = ?", {title})
                 .toInt(),
             1);
}

QTEST_GUILESS_MAIN(TestWriteFaults)
#include "test_write_faults.moc"
