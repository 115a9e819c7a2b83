// `cmake --install build --prefix <folder>`: a program folder of its own, with the
// desktop entry and icon, that a second install never takes the catalogue from.
#include "TestFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Runs `cmake --install` of this build into folder; returns its output on failure.
QString install(const QString &folder)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(REELVANE_CMAKE), {"--install", REELVANE_BUILD_DIR, "--prefix", folder});
    if (!process.waitForFinished(120000))
        return QStringLiteral("cmake --install did not finish");
    const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return ok ? QString() : QString::fromLocal8Bit(process.readAll());
}

// The value of a key of the desktop entry, read as the desktop does.
QString desktopValue(const QString &file, const QString &key)
{
    for (const QByteArray &line : TestFolder::ReadFile(file).split('\n'))
        if (line.startsWith(key.toUtf8() + '='))
            return QString::fromUtf8(line.mid(key.size() + 1));
    return QString();
}

// Exec= undone as a launcher does: string escapes first, then the quoting.
QString execProgram(QString exec)
{
    exec.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    if (!exec.startsWith(QLatin1Char('"')))
        return exec.section(QLatin1Char(' '), 0, 0);
    QString program;
    for (int i = 1; i < exec.size() && exec[i] != QLatin1Char('"'); ++i) {
        if (exec[i] == QLatin1Char('\\') && i + 1 < exec.size())
            ++i;
        program += exec[i];
    }
    return program.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

// Runs a statement on the catalogue through a connection of its own; the first value.
QVariant sql(const QString &catalogue, const QString &statement)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("install"));
        db.setDatabaseName(catalogue);
        QSqlQuery query(db);
        if (db.open() && query.exec(statement) && query.next())
            value = query.value(0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("install"));
    return value;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void installTwice_data();
    void installTwice();
};

void TestInstall::installTwice_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("run"); // start the installed program (it takes seconds)
    QTest::newRow("plain") << "Reelvane" << false;
    QTest::newRow("blanks and signs") << "My Films 100% $best \"cut\" `x` it's" << true;
    QTest::newRow("beyond ASCII") << QString::fromUtf8("Filmothèque Łódź 映画") << false;
}

void TestInstall::installTwice()
{
    QFETCH(QString, name);
    QFETCH(bool, run);
    QTemporaryDir root;
    const QString folder = root.filePath(name);
    QString failure = install(folder);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    const QFileInfo program(folder + "/reelvane");
    QVERIFY(program.isExecutable());
    const QString catalogue = folder + "/dvd_collection.mdb";
    QCOMPARE(sql(catalogue, "SELECT Count(*) FROM DVD_Title").toInt(), 0);
    for (const char *picture : {"nothing.jpg", "no_records.jpg"})
        QVERIFY(!QImage(folder + "/images/" + picture).isNull());

    const QString entry = folder + "/share/applications/reelvane.desktop";
    QCOMPARE(QFileInfo(execProgram(desktopValue(entry, "Exec"))), program);
    QCOMPARE(QFileInfo(desktopValue(entry, "TryExec")), program);
    const QString icon = desktopValue(entry, "Icon");
    QVERIFY(QFileInfo(icon).isAbsolute());
    QCOMPARE(QImage(icon).size(), QSize(256, 256));
    for (const int side : {16, 32, 48, 128})
        QCOMPARE(QImage(QString("%1/share/icons/hicolor/%2x%2/apps/reelvane.png").arg(folder).arg(side)).size(),
                 QSize(side, side));
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (!validator.isEmpty()) {
        QProcess check;
        check.setProcessChannelMode(QProcess::MergedChannels);
        check.start(validator, {entry});
        QVERIFY(check.waitForFinished());
        QVERIFY2(check.exitCode() == 0, check.readAll().constData());
    }

    if (run) {
        // The splash stays five seconds; a little more, and the main window has opened the
        // installed catalogue or said why not.
        QProcess running;
        running.setWorkingDirectory(root.path());
        running.start(program.filePath(), {});
        QVERIFY(running.waitForStarted());
        QVERIFY2(!running.waitForFinished(8000), running.readAllStandardError().constData());
        running.kill();
        running.waitForFinished();
        const QString errors = QString::fromLocal8Bit(running.readAllStandardError());
        QVERIFY2(!errors.contains("Reelvane:"), qPrintable(errors));
    }

    // A second install keeps the user's catalogue and covers as they are.
    sql(catalogue, "INSERT INTO DVD_Title (Title, WishList) VALUES ('Vertigo', 0)");
    QVERIFY(TestFolder::WriteFile(folder + "/images/1.jpg", "a cover of the user's own"));
    const QByteArray before = TestFolder::ReadFile(catalogue);
    failure = install(folder);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(TestFolder::ReadFile(catalogue), before);
    QCOMPARE(sql(catalogue, "SELECT Count(*) FROM DVD_Title").toInt(), 1);
    QCOMPARE(TestFolder::ReadFile(folder + "/images/1.jpg"), QByteArray("a cover of the user's own"));
}

QTEST_MAIN(TestInstall)
#include "test_install.moc"
