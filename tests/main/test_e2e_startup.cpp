// Start-up on a catalogue that cannot be opened ends the program with the driver's text,
// a non-zero status, and the file exactly as it was.
#include "TestFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void failure_data();
    void failure();
    void success();
    void catalogueVanishesWhileRunning();

private:
    struct Outcome
    {
        int status = -1;
        QString out;
        QString err;
    };
    static Outcome run(const QString &folder, const QString &mode = {})
    {
        QProcess child;
        QStringList arguments{folder};
        if (!mode.isEmpty())
            arguments << mode;
        child.start(QCoreApplication::applicationDirPath() + "/startup_child", arguments);
        if (!child.waitForFinished(60000))
            child.kill();
        return {child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1,
                QString::fromUtf8(child.readAllStandardOutput()),
                QString::fromUtf8(child.readAllStandardError())};
    }
};

void TestStartup::failure_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("driverText");
    QTest::newRow("missing") << "missing" << "unable to open database file";
    QTest::newRow("empty file") << "empty" << "no such table";
    QTest::newRow("garbage") << "garbage" << "not a database";
    QTest::newRow("wrong schema") << "schema" << "no such table";
}

void TestStartup::failure()
{
    QFETCH(QString, kind);
    QFETCH(QString, driverText);
    TestFolder folder;
    folder.CloseConnection();
    const QString file = folder.CataloguePath();
    QVERIFY(QFile::remove(file));
    QByteArray content;
    if (kind == "garbage")
        content = QByteArray("definitely not a catalogue ").repeated(100);
    if (kind == "schema") {
        folder.Exec("CREATE TABLE Films (Name TEXT)");
        folder.CloseConnection();
    } else if (kind != "missing") {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(content);
    }
    const QByteArray before = folder.CatalogueBytes();

    const Outcome outcome = run(folder.Path());
    QVERIFY2(outcome.status == 1, qPrintable(outcome.out + outcome.err));
    QVERIFY2(outcome.err.contains(driverText, Qt::CaseInsensitive), qPrintable(outcome.err));
    QVERIFY2(outcome.out.contains(driverText, Qt::CaseInsensitive), qPrintable(outcome.out));
    QCOMPARE(QFile::exists(file), kind != "missing");
    QCOMPARE(folder.CatalogueBytes(), before);
    QCOMPARE(QDir(folder.Path()).entryList(QDir::Files).size(), kind == "missing" ? 0 : 1);
}

void TestStartup::success()
{
    TestFolder folder;
    folder.AddTitle({.title = "Fine"});
    folder.CloseConnection();
    const Outcome outcome = run(folder.Path());
    QVERIFY2(outcome.status == 0, qPrintable(outcome.out + outcome.err));
    QVERIFY(!outcome.out.contains("message box"));
}

void TestStartup::catalogueVanishesWhileRunning()
{
    TestFolder folder;
    folder.AddTitle({.title = "Here"});
    folder.CloseConnection();
    const Outcome outcome = run(folder.Path(), "vanish");
    QVERIFY2(outcome.status == 1, qPrintable(outcome.out + outcome.err));
    QVERIFY2(outcome.err.contains("unable to open database file"), qPrintable(outcome.err));
    QVERIFY(!QFile::exists(folder.CataloguePath())); // never made anew
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_e2e_startup.moc"
