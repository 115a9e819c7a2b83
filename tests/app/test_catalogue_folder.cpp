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
    using T = Template;
    QTest::newRow("portable") << Exe::Catalogue << false << T::Missing << User::Empty
                              << Chosen::Executable;
    QTest::newRow("read-only folder with a catalogue")
        << Exe::ReadOnlyCatalogue << false << T::Prepared << User::Empty << Chosen::User;
    QTest::newRow("installed, first start")
        << Exe::NoCatalogue << false << T::Prepared << User::Empty << Chosen::User;
    QTest::newRow("later start keeps the user's own")
        << Exe::NoCatalogue << false << T::Prepared << User::OwnCatalogue << Chosen::User;
    QTest::newRow("later start needs no template")
        << Exe::NoCatalogue << false << T::Missing << User::OwnCatalogue << Chosen::User;
    QTest::newRow("first start cut short in the copy")
        << Exe::NoCatalogue << false << T::Prepared << User::HalfCopied << Chosen::User;
    QTest::newRow("first start cut short before the pictures")
        << Exe::NoCatalogue << false << T::Prepared << User::NoPictures << Chosen::User;
    QTest::newRow("template missing")
        << Exe::NoCatalogue << false << T::Missing << User::Empty << Chosen::Refused;
    QTest::newRow("template not a catalogue")
        << Exe::NoCatalogue << false << T::NotACatalogue << User::Empty << Chosen::Refused;
    QTest::newRow("named over portable")
        << Exe::Catalogue << true << T::Prepared << User::Empty << Chosen::Requested;
    QTest::newRow("named over installed")
        << Exe::NoCatalogue << true << T::Missing << User::Empty << Chosen::Requested;
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
    using A = CommandLine::Action;
    QTest::newRow("a folder") << QStringList{"--catalogue-folder", "/a 'b' 映画"} << A::Run
                              << "/a 'b' 映画"
                              << "";
    QTest::newRow("Qt's own options")
        << QStringList{"-platform", "offscreen", "-reverse"} << A::Run << ""
        << "";
    QTest::newRow("version") << QStringList{"--version"} << A::Print << ""
                             << "\n";
    QTest::newRow("help") << QStringList{"-h"} << A::Print << ""
                          << "--catalogue-folder";
    QTest::newRow("no folder") << QStringList{"--catalogue-folder"} << A::Refuse << ""
                               << "catalogue-folder";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << A::Refuse << ""
                                    << "bogus";
    QTest::newRow("export") << QStringList{"--export", "/tmp/a b.csv"} << A::Export << ""
                            << "";
    QTest::newRow("backup") << QStringList{"--backup", "/tmp"} << A::Backup << ""
                            << "";
    QTest::newRow("export and backup")
        << QStringList{"--export", "a", "--backup", "b"} << A::Refuse << ""
        << "together";
    QTest::newRow("stray argument") << QStringList{"a.mdb"} << A::Refuse << ""
                                    << "a.mdb";
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
