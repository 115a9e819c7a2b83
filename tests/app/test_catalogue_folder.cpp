// Which folder the program keeps its catalogue in, and how the per-user one is made from
// the installed template; and the command line that can name another.
#include "CataloguePreparer.h"
#include "CatalogueFolder.h"
#include "CommandLine.h"
#include "TestFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

enum class Template { Prepared, Missing, NotACatalogue };
enum class UserFolder { Empty, OwnCatalogue, HalfCopied, NoPictures };
enum class Chosen { Executable, Requested, User, Refused };

const QByteArray kOwn = "the user's own catalogue";

} // namespace

Q_DECLARE_METATYPE(Template)
Q_DECLARE_METATYPE(UserFolder)
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
    QTest::addColumn<bool>("executableHasCatalogue");
    QTest::addColumn<bool>("executableWritable");
    QTest::addColumn<bool>("requested");
    QTest::addColumn<Template>("templateState");
    QTest::addColumn<UserFolder>("userState");
    QTest::addColumn<Chosen>("chosen");

    using T = Template;
    using U = UserFolder;
    QTest::newRow("portable: writable, with a catalogue")
        << true << true << false << T::Missing << U::Empty << Chosen::Executable;
    QTest::newRow("read-only folder with a catalogue")
        << true << false << false << T::Prepared << U::Empty << Chosen::User;
    QTest::newRow("installed: no catalogue beside the program")
        << false << true << false << T::Prepared << U::Empty << Chosen::User;
    QTest::newRow("later start: the user's catalogue is kept")
        << false << false << false << T::Prepared << U::OwnCatalogue << Chosen::User;
    QTest::newRow("later start: no template needed")
        << false << false << false << T::Missing << U::OwnCatalogue << Chosen::User;
    QTest::newRow("a first start cut short during the copy")
        << false << false << false << T::Prepared << U::HalfCopied << Chosen::User;
    QTest::newRow("a first start cut short before the pictures")
        << false << false << false << T::Prepared << U::NoPictures << Chosen::User;
    QTest::newRow("template missing")
        << false << false << false << T::Missing << U::Empty << Chosen::Refused;
    QTest::newRow("template not a catalogue")
        << false << false << false << T::NotACatalogue << U::Empty << Chosen::Refused;
    QTest::newRow("--catalogue-folder over a portable folder")
        << true << true << true << T::Prepared << U::Empty << Chosen::Requested;
    QTest::newRow("--catalogue-folder over an installed one")
        << false << false << true << T::Missing << U::Empty << Chosen::Requested;
}

void TestCatalogueFolder::rule()
{
    QFETCH(bool, executableHasCatalogue);
    QFETCH(bool, executableWritable);
    QFETCH(bool, requested);
    QFETCH(Template, templateState);
    QFETCH(UserFolder, userState);
    QFETCH(Chosen, chosen);

    QTemporaryDir root;
    const QString executable = root.filePath("usr/bin");
    const QString templateFolder = root.filePath("usr/share/reelvane");
    const QString other = root.filePath("elsewhere");
    const QString user = root.filePath("home/.local/share/reelvane");
    QVERIFY(QDir().mkpath(executable) && QDir().mkpath(other));
    const QString exeCatalogue = executable + "/dvd_collection.mdb";
    if (executableHasCatalogue)
        QVERIFY(TestFolder::WriteFile(exeCatalogue, "beside the program"));
    if (templateState == Template::Prepared)
        QVERIFY(CataloguePreparer::Prepare(templateFolder));
    if (templateState == Template::NotACatalogue) {
        QVERIFY(QDir().mkpath(templateFolder + "/images"));
        QVERIFY(TestFolder::WriteFile(templateFolder + "/dvd_collection.mdb", "<html>"));
    }
    const QString catalogue = user + "/dvd_collection.mdb";
    if (userState != UserFolder::Empty)
        QVERIFY(QDir().mkpath(user + "/images"));
    if (userState == UserFolder::OwnCatalogue)
        QVERIFY(TestFolder::WriteFile(catalogue, kOwn)
                && TestFolder::WriteFile(user + "/images/nothing.jpg", "own")
                && TestFolder::WriteFile(user + "/images/no_records.jpg", "own"));
    if (userState == UserFolder::HalfCopied)
        QVERIFY(TestFolder::WriteFile(catalogue + ".partial", "SQLite format 3"));
    if (userState == UserFolder::NoPictures)
        QVERIFY(TestFolder::WriteFile(catalogue, kOwn));
    const QByteArray templateBefore = TestFolder::ReadFile(templateFolder + "/dvd_collection.mdb");

    const CatalogueFolder::Choice choice = CatalogueFolder::Choose(
        {executable, requested ? other : QString(), user},
        [&](const QString &folder) { return folder != executable || executableWritable; });

    QCOMPARE(choice.error.isEmpty(), chosen != Chosen::Refused);
    const QString expected[] = {executable, other, user, QString()};
    QCOMPARE(choice.folder, expected[int(chosen)]);
    if (chosen == Chosen::Refused)
        QVERIFY2(choice.error.contains(templateFolder), qPrintable(choice.error));
    // Nothing the rule does not choose is written, a user's catalogue least of all.
    if (chosen == Chosen::Executable || chosen == Chosen::Requested)
        QVERIFY(!QFileInfo::exists(user));
    QCOMPARE(TestFolder::ReadFile(templateFolder + "/dvd_collection.mdb"), templateBefore);
    if (executableHasCatalogue)
        QCOMPARE(TestFolder::ReadFile(exeCatalogue), QByteArray("beside the program"));
    QVERIFY(!QFileInfo::exists(catalogue + ".partial"));
    if (chosen != Chosen::User) {
        QVERIFY(!QFileInfo::exists(catalogue));
        return;
    }
    const bool own = userState == UserFolder::OwnCatalogue || userState == UserFolder::NoPictures;
    QCOMPARE(TestFolder::ReadFile(catalogue), own ? kOwn : templateBefore);
    for (const char *picture : {"/images/nothing.jpg", "/images/no_records.jpg"}) {
        const QByteArray expectedPicture = userState == UserFolder::OwnCatalogue
                                               ? QByteArray("own")
                                               : TestFolder::ReadFile(templateFolder + picture);
        QCOMPARE(TestFolder::ReadFile(user + picture), expectedPicture);
    }
}

void TestCatalogueFolder::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLine::Action>("action");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("text");

    using A = CommandLine::Action;
    QTest::newRow("nothing") << QStringList{} << A::Run << QString() << QString();
    QTest::newRow("a folder") << QStringList{"--catalogue-folder", "/films/ 'x' 映画"} << A::Run
                              << "/films/ 'x' 映画" << QString();
    QTest::newRow("folder as name=value")
        << QStringList{"--catalogue-folder=/films"} << A::Run << "/films" << QString();
    QTest::newRow("version") << QStringList{"--version"} << A::Print << QString()
                             << QCoreApplication::applicationName();
    QTest::newRow("help") << QStringList{"-h"} << A::Print << QString() << "--catalogue-folder";
    QTest::newRow("folder missing")
        << QStringList{"--catalogue-folder"} << A::Refuse << QString() << "catalogue-folder";
    QTest::newRow("Qt's own options")
        << QStringList{"-platform", "offscreen", "-reverse"} << A::Run << QString() << QString();
    QTest::newRow("unknown option") << QStringList{"--bogus"} << A::Refuse << QString() << "bogus";
    QTest::newRow("stray argument")
        << QStringList{"films.mdb"} << A::Refuse << QString() << "films.mdb";
}

void TestCatalogueFolder::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLine::Action, action);
    QFETCH(QString, folder);
    QFETCH(QString, text);

    const CommandLine::Request request = CommandLine::Parse(QStringList{"reelvane"} + arguments);
    QCOMPARE(request.action, action);
    QCOMPARE(request.catalogueFolder, folder);
    QVERIFY2(request.text.contains(text), qPrintable(request.text));
}

QTEST_MAIN(TestCatalogueFolder)
#include "test_catalogue_folder.moc"
