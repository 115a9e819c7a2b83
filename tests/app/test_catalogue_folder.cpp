// Which folder holds the catalogue, how the per-user one is made from the installed
// template, and the command line that can name another.
#include "CatalogueFolder.h"
#include "CataloguePreparer.h"
#include "CommandLine.h"
#include "TestFolder.h"

#include <QDir>
#include <QTest>

enum class Exe { NoCatalogue, Catalogue, ReadOnlyCatalogue };
enum class Template { Prepared, Missing, NotACatalogue };
enum class User { Empty, OwnCatalogue, HalfCopied, NoPictures };
enum class Chosen { Executable, Requested, User, Refused };
Q_DECLARE_METATYPE(Exe)
Q_DECLARE_METATYPE(Template)
Q_DECLARE_METATYPE(User)
Q_DECLARE_METATYPE(Chosen)
Q_DECLARE_METATYPE(CommandLine::Action)

class TestCatalogueFolder : public QObject
{
    Q_OBJECT

private slots:
    void rule_data();
    void rule();
    void commandLine_data();
    void commandLine();
};

void TestCatalogueFolder::rule_data()
{
    QTest::addColumn<Exe>("exe");
    QTest::addColumn<bool>("requested");
    QTest::addColumn<Template>("source");
    QTest::addColumn<User>("user");
    QTest::addColumn<Chosen>("chosen");
    const auto row = [](const char *name, Exe exe, bool requested, Template source, User user,
                        Chosen chosen) {
        QTest::newRow(name) << exe << requested << source << user << chosen;
    };
    const Exe none = Exe::NoCatalogue;
    const Template prepared = Template::Prepared, missing = Template::Missing;
    row("portable", Exe::Catalogue, false, missing, User::Empty, Chosen::Executable);
    row("read-only folder with a catalogue", Exe::ReadOnlyCatalogue, false, prepared, User::Empty,
        Chosen::User);
    row("installed, first start", none, false, prepared, User::Empty, Chosen::User);
    row("later start keeps the user's own", none, false, prepared, User::OwnCatalogue,
        Chosen::User);
    row("later start needs no template", none, false, missing, User::OwnCatalogue, Chosen::User);
    row("first start cut short in the copy", none, false, prepared, User::HalfCopied, Chosen::User);
    row("first start cut short before the pictures", none, false, prepared, User::NoPictures,
        Chosen::User);
    row("template missing", none, false, missing, User::Empty, Chosen::Refused);
    row("template not a catalogue", none, false, Template::NotACatalogue, User::Empty,
        Chosen::Refused);
    row("named over portable", Exe::Catalogue, true, prepared, User::Empty, Chosen::Requested);
    row("named over installed", none, true, missing, User::Empty, Chosen::Requested);
}

void TestCatalogueFolder::rule()
{
    QFETCH(Exe, exe);
    QFETCH(bool, requested);
    QFETCH(Template, source);
    QFETCH(User, user);
    QFETCH(Chosen, chosen);

    QTemporaryDir root;
    const QString bin = root.filePath("usr/bin"), share = root.filePath("usr/share/reelvane");
    const QString other = root.filePath("elsewhere"), data = root.filePath("data/reelvane");
    const QString catalogue = data + "/dvd_collection.mdb";
    const QStringList pictures{"/images/nothing.jpg", "/images/no_records.jpg"};
    QVERIFY(QDir().mkpath(bin) && QDir().mkpath(other) && QDir().mkpath(share + "/images"));
    if (exe != Exe::NoCatalogue)
        QVERIFY(TestFolder::WriteFile(bin + "/dvd_collection.mdb", "beside"));
    if (source == Template::Prepared)
        QVERIFY(CataloguePreparer::Prepare(share));
    if (source == Template::NotACatalogue)
        QVERIFY(TestFolder::WriteFile(share + "/dvd_collection.mdb", "<html>"));
    if (user != User::Empty)
        QVERIFY(QDir().mkpath(data + "/images"));
    if (user == User::HalfCopied)
        QVERIFY(TestFolder::WriteFile(catalogue + ".partial", "SQLite format 3"));
    if (user == User::OwnCatalogue || user == User::NoPictures)
        QVERIFY(TestFolder::WriteFile(catalogue, "own"));
    for (const QString &picture : pictures)
        QVERIFY(user != User::OwnCatalogue || TestFolder::WriteFile(data + picture, "own"));
    const QByteArray prepared = TestFolder::ReadFile(share + "/dvd_collection.mdb");

    // Tests run as root too, who may write anywhere: the read-only folder is told.
    const auto writable = [&](const QString &folder) {
        return folder != bin || exe != Exe::ReadOnlyCatalogue;
    };
    const auto choice = CatalogueFolder::Choose({bin, requested ? other : "", data}, writable);

    QCOMPARE(choice.folder, (QStringList{bin, other, data, ""}.at(int(chosen))));
    QVERIFY2(choice.error.isEmpty() == (chosen != Chosen::Refused), qPrintable(choice.error));
    QVERIFY(chosen != Chosen::Refused || choice.error.contains(share));
    QCOMPARE(TestFolder::ReadFile(share + "/dvd_collection.mdb"), prepared);
    QVERIFY(!QFileInfo::exists(catalogue + ".partial"));
    if (chosen != Chosen::User) {
        QVERIFY(!QFileInfo::exists(catalogue));
        return;
    }
    const bool own = user == User::OwnCatalogue || user == User::NoPictures;
    QCOMPARE(TestFolder::ReadFile(catalogue), own ? QByteArray("own") : prepared);
    for (const QString &picture : pictures)
        QCOMPARE(TestFolder::ReadFile(data + picture), user == User::OwnCatalogue
                                                           ? QByteArray("own")
                                                           : TestFolder::ReadFile(share + picture));
}

void TestCatalogueFolder::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLine::Action>("action");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("text");
    const auto row = [](const char *name, const QStringList &arguments, CommandLine::Action action,
                        const QString &folder, const QString &text) {
        QTest::newRow(name) << arguments << action << folder << text;
    };
    using A = CommandLine::Action;
    row("a folder", {"--catalogue-folder", "/a 'b' 映画"}, A::Run, "/a 'b' 映画", "");
    row("Qt's own options", {"-platform", "offscreen", "-reverse"}, A::Run, "", "");
    row("version", {"--version"}, A::Print, "", "\n");
    row("help", {"-h"}, A::Print, "", "--catalogue-folder");
    row("no folder", {"--catalogue-folder"}, A::Refuse, "", "catalogue-folder");
    row("unknown option", {"--bogus"}, A::Refuse, "", "bogus");
    row("export", {"--export", "/tmp/a b.csv"}, A::Export, "", "");
    row("backup", {"--backup", "/tmp"}, A::Backup, "", "");
    row("export and backup", {"--export", "a", "--backup", "b"}, A::Refuse, "", "together");
    row("stray argument", {"a.mdb"}, A::Refuse, "", "a.mdb");
}

void TestCatalogueFolder::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLine::Action, action);
    QFETCH(QString, folder);
    QFETCH(QString, text);
    const auto request = CommandLine::Parse(QStringList{"reelvane"} + arguments);
    QCOMPARE(request.action, action);
    QCOMPARE(request.catalogueFolder, folder);
    if (action == CommandLine::Action::Export || action == CommandLine::Action::Backup)
        QCOMPARE(request.path, arguments.at(1));
    QVERIFY2(request.text.contains(text), qPrintable(request.text));
    QVERIFY(request.text.isEmpty() || request.text.endsWith('\n'));
}

QTEST_MAIN(TestCatalogueFolder)
#include "test_catalogue_folder.moc"
