// `cmake --install build --prefix <folder>`: a program folder of its own, with the
// desktop entry and icon, that a second install never takes the catalogue from.
#include "TestFolder.h"

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTest>

namespace {

// Installs the build into folder; cmake's output when that fails.
QString install(const QString &folder)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(REELVANE_CMAKE, {"--install", REELVANE_BUILD_DIR, "--prefix", folder});
    const bool ok = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
                    && process.exitCode() == 0;
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

// The program a launcher runs for a quoted Exec=: string escapes undone, then the quoting.
QString execProgram(QString exec)
{
    exec.replace("\\\\", "\\").replace("%%", "%");
    QString program;
    for (qsizetype i = 1; i < exec.size() && exec[i] != '"'; ++i)
        program += exec[i] == '\\' ? exec[++i] : exec[i];
    return program;
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
    QTest::newRow("blanks and signs") << "My Films 100% $best \"cut\" `x` it's";
    QTest::newRow("beyond ASCII") << QString::fromUtf8("Filmothèque Łódź 映画");
}

void TestInstall::installTwice()
{
    QFETCH(QString, name);
    QTemporaryDir root;
    const QString folder = root.filePath(name);
    const QFileInfo program(folder + "/reelvane");
    QString failure = install(folder);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(program.isExecutable());
    for (const char *picture : {"nothing.jpg", "no_records.jpg"})
        QVERIFY(!QImage(folder + "/images/" + picture).isNull());

    const QString entry = folder + "/share/applications/reelvane.desktop";
    QCOMPARE(QFileInfo(execProgram(desktopValue(entry, "Exec"))), program);
    QCOMPARE(QFileInfo(desktopValue(entry, "TryExec")), program);
    QCOMPARE(QImage(desktopValue(entry, "Icon")).size(), QSize(256, 256));

    // A second install keeps the user's catalogue and covers.
    const QStringList own{folder + "/dvd_collection.mdb", folder + "/images/1.jpg"};
    for (const QString &file : own)
        QVERIFY(TestFolder::WriteFile(file, "the user's own"));
    failure = install(folder);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    for (const QString &file : own)
        QCOMPARE(TestFolder::ReadFile(file), QByteArray("the user's own"));
}

QTEST_MAIN(TestInstall)
#include "test_install.moc"
