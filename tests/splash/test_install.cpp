// `cmake --install build --prefix <folder>`: a program folder of its own, with the
// desktop entry and icon, that a second install never takes the catalogue from.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSettings>
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
    process.start(QStringLiteral(REELVANE_CMAKE),
                  {QStringLiteral("--install"), QStringLiteral(REELVANE_BUILD_DIR),
                   QStringLiteral("--prefix"), folder});
    if (!process.waitForFinished(120000))
        return QStringLiteral("cmake --install did not finish");
    const QString output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? QString()
                                                                                     : output;
}

// The value of a key of the [Desktop Entry] group, read as the desktop does.
QString desktopValue(const QString &file, const QString &key)
{
    QFile entry(file);
    if (!entry.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    for (const QByteArray &line : entry.readAll().split('\n'))
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

int titleCount(const QString &catalogue, const QString &connection)
{
    int count = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(catalogue);
        if (db.open()) {
            QSqlQuery query(QStringLiteral("SELECT COUNT(*) FROM DVD_Title"), db);
            if (query.next())
                count = query.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return count;
}

void addTitle(const QString &catalogue, const QString &title)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "add");
        db.setDatabaseName(catalogue);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral("INSERT INTO DVD_Title (Title, WishList) VALUES ('%1', 0)")
                               .arg(title)));
    }
    QSqlDatabase::removeDatabase("add");
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void installsProgramFolder_data();
    void installsProgramFolder();
    void secondInstallKeepsCatalogue();
};

void TestInstall::installsProgramFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "Reelvane";
    QTest::newRow("blanks and signs") << "My Films 100% $best \"cut\"";
}

void TestInstall::installsProgramFolder()
{
    QFETCH(QString, name);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString folder = root.filePath(name);
    const QString failure = install(folder);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    const QFileInfo program(folder + QStringLiteral("/reelvane"));
    QVERIFY(program.isFile());
    QVERIFY(program.isExecutable());
    QCOMPARE(titleCount(folder + QStringLiteral("/dvd_collection.mdb"), "count"), 0);
    for (const char *picture : {"nothing.jpg", "no_records.jpg"})
        QVERIFY(!QImage(folder + QStringLiteral("/images/") + QLatin1String(picture)).isNull());

    const QString entry = folder + QStringLiteral("/share/applications/reelvane.desktop");
    QVERIFY(QFile::exists(entry));
    QCOMPARE(desktopValue(entry, "Type"), QStringLiteral("Application"));
    QCOMPARE(desktopValue(entry, "Name"), QStringLiteral("Reelvane"));
    QVERIFY(!desktopValue(entry, "Comment").isEmpty());
    QVERIFY(desktopValue(entry, "Categories").endsWith(QLatin1Char(';')));
    QCOMPARE(QFileInfo(execProgram(desktopValue(entry, "Exec"))), program);
    QCOMPARE(QFileInfo(desktopValue(entry, "TryExec")), program);

    const QString iconFile = desktopValue(entry, "Icon");
    QVERIFY(QFileInfo(iconFile).isAbsolute());
    QCOMPARE(QImage(iconFile).size(), QSize(256, 256));
    for (const int side : {16, 32, 48, 128})
        QCOMPARE(QImage(QStringLiteral("%1/share/icons/hicolor/%2x%2/apps/reelvane.png")
                            .arg(folder)
                            .arg(side))
                     .size(),
                 QSize(side, side));

    if (name == "Reelvane") {
        // The splash stays five seconds; give it a little more, then the main window has
        // opened the installed catalogue or reported why not.
        QProcess running;
        running.setWorkingDirectory(root.path());
        running.start(folder + "/reelvane", {});
        QVERIFY(running.waitForStarted());
        QVERIFY2(!running.waitForFinished(8000), running.readAllStandardError().constData());
        running.kill();
        running.waitForFinished();
        const QString errors = QString::fromLocal8Bit(running.readAllStandardError());
        QVERIFY2(!errors.contains("Reelvane:"), qPrintable(errors));
    }

    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (!validator.isEmpty()) {
        QProcess check;
        check.setProcessChannelMode(QProcess::MergedChannels);
        check.start(validator, {entry});
        QVERIFY(check.waitForFinished());
        QVERIFY2(check.exitCode() == 0, check.readAll().constData());
    }
}

void TestInstall::secondInstallKeepsCatalogue()
{
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("Reelvane"));
    QString failure = install(folder);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    const QString catalogue = folder + QStringLiteral("/dvd_collection.mdb");
    addTitle(catalogue, QStringLiteral("Vertigo"));
    QFile cover(folder + QStringLiteral("/images/1.jpg"));
    QVERIFY(cover.open(QIODevice::WriteOnly));
    cover.write("a cover of the user's own");
    cover.close();
    QFile catalogueFile(catalogue);
    QVERIFY(catalogueFile.open(QIODevice::ReadOnly));
    const QByteArray before = catalogueFile.readAll();
    catalogueFile.close();

    failure = install(folder);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    QVERIFY(catalogueFile.open(QIODevice::ReadOnly));
    QCOMPARE(catalogueFile.readAll(), before);
    QCOMPARE(titleCount(catalogue, "recount"), 1);
    QVERIFY(cover.open(QIODevice::ReadOnly));
    QCOMPARE(cover.readAll(), QByteArray("a cover of the user's own"));
}

QTEST_MAIN(TestInstall)
#include "test_install.moc"
