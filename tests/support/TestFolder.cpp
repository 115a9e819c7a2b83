#include "TestFolder.h"

#include <archive.h>
#include <archive_entry.h>

#include "CataloguePreparer.h"

#include <QAtomicInt>
#include <QBuffer>
#include <QColor>
#include <QSqlRecord>
#include <QFile>
#include <QImage>
#include <QSqlError>
#include <QSettings>
#include <QSqlQuery>
#include <QTest>

namespace {
QAtomicInt g_folders;
}

TestFolder::TestFolder()
    : m_connectionName(QStringLiteral("test-folder-%1").arg(g_folders.fetchAndAddRelaxed(1)))
{
    QString error;
    m_valid = m_dir.isValid() && CataloguePreparer::Prepare(m_dir.path(), &error);
    if (!m_valid)
        qWarning("TestFolder: %s", qPrintable(error));
    // Settings the program remembers stay in this folder, never the user's.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
}

TestFolder::~TestFolder()
{
    CloseConnection();
}

void TestFolder::CloseConnection()
{
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    {
        QSqlDatabase database = QSqlDatabase::database(m_connectionName, false);
        database.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase TestFolder::db()
{
    if (!QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase database =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        database.setDatabaseName(CataloguePath());
        database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!database.open())
            qFatal("TestFolder: cannot open %s", qPrintable(CataloguePath()));
    }
    return QSqlDatabase::database(m_connectionName);
}

std::unique_ptr<Module1> TestFolder::MakeShared() const
{
    auto shared = std::make_unique<Module1>(Path());
    shared->InitializeDatabasePath();
    return shared;
}

static QSqlQuery run(const QSqlDatabase &db, const QString &statement, const QVariantList &values)
{
    QSqlQuery query(db);
    query.prepare(statement);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        qFatal("TestFolder: %s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
    return query;
}

void TestFolder::Exec(const QString &statement, const QVariantList &values)
{
    run(db(), statement, values);
}

QVector<QVariantList> TestFolder::Rows(const QString &statement, const QVariantList &values)
{
    QSqlQuery query = run(db(), statement, values);
    QVector<QVariantList> rows;
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i);
        rows << row;
    }
    return rows;
}

QVariant TestFolder::Scalar(const QString &statement, const QVariantList &values)
{
    const auto rows = Rows(statement, values);
    return rows.isEmpty() || rows.first().isEmpty() ? QVariant() : rows.first().first();
}

qint64 TestFolder::GenreId(const QString &name)
{
    const QVariant id =
        Scalar(QStringLiteral("SELECT Genre_ID FROM Genre WHERE Genre = ?"), {name});
    return id.isNull() ? 0 : id.toLongLong();
}

QStringList TestFolder::GenreNames(qint64 titleId)
{
    QStringList names;
    for (const auto &row : Rows(QStringLiteral("SELECT Genre.Genre FROM Genre_Relationships "
                                               "INNER JOIN Genre ON Genre.Genre_ID = "
                                               "Genre_Relationships.Genre_ID WHERE Title_ID = ? "
                                               "ORDER BY Genre.Genre"),
                                {titleId}))
        names << row.first().toString();
    return names;
}

qint64 TestFolder::AddGenre(const QString &name)
{
    Exec(QStringLiteral("INSERT INTO Genre (Genre) VALUES (?)"), {name});
    return Scalar(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
}

qint64 TestFolder::AddTitle(const Title &title)
{
    Exec(QStringLiteral("INSERT INTO DVD_Title (Title, Sub_Title, [Date], Director, Summary, "
                        "Features, Eggs, WishList) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
         {title.title, title.subTitle, title.date, title.director, title.summary, title.features,
          title.eggs, title.wishList});
    const qint64 id = Scalar(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
    for (const QString &genre : title.genres) {
        qint64 genreId = GenreId(genre);
        if (genreId == 0)
            genreId = AddGenre(genre);
        Exec(QStringLiteral("INSERT INTO Genre_Relationships (Title_ID, Genre_ID) VALUES (?, ?)"),
             {id, genreId});
    }
    for (const auto &member : title.cast)
        Exec(QStringLiteral("INSERT INTO Cast_Relationships (Movie, Actor, Character) "
                            "VALUES (?, ?, ?)"),
             {id, member.first, member.second});
    return id;
}

QString TestFolder::WritePicture(const QString &name, const char *format, int width, int height,
                                 const QColor &colour)
{
    return WriteImageFile(name, PictureBytes(format, width, height, colour));
}

QByteArray TestFolder::PictureBytes(const char *format, int width, int height, const QColor &colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray TestFolder::ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TestFolder::WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray TestFolder::Zip(const QList<std::pair<QByteArray, QByteArray>> &entries)
{
    QByteArray out(64 << 20, Qt::Uninitialized);
    size_t used = 0;
    archive *a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_open_memory(a, out.data(), size_t(out.size()), &used);
    for (const auto &[name, bytes] : entries) {
        archive_entry *entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.constData());
        archive_entry_set_size(entry, bytes.size());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_write_header(a, entry);
        archive_write_data(a, bytes.constData(), size_t(bytes.size()));
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
    out.truncate(qsizetype(used));
    return out;
}

QString TestFolder::WriteImageFile(const QString &name, const QByteArray &bytes)
{
    const QString file = ImagesPath() + QLatin1Char('/') + name;
    if (!WriteFile(file, bytes))
        qFatal("TestFolder: cannot write %s", qPrintable(file));
    return file;
}

QByteArray TestFolder::SampleGif()
{
    static const char bytes[] =
        "\x47\x49\x46\x38\x39\x61\x28\x00\x5a\x00\xf0\x00\x00\xc0\x30\x30\x30\x50\xc0\x21"
        "\xf9\x04\x00\x00\x00\x00\x00\x2c\x00\x00\x00\x00\x28\x00\x5a\x00\x00\x02\x5e\x84"
        "\x8f\xa9\xcb\xed\x0f\xa3\x9c\xb4\xda\x8b\xb3\xde\xbc\xfb\x0f\x86\xe2\x48\x96\xe6"
        "\x89\xa6\xea\xca\xb6\xee\x0b\xc7\xf2\x4c\xd7\xf6\x8d\xe7\xfa\xce\xf7\xfe\x2f\x0a"
        "\x08\x87\xc4\xa2\xf1\x88\x4c\x2a\x97\xcc\xa6\xf3\x09\x8d\x4a\xa7\xd4\xaa\xf5\x8a"
        "\xcd\x6a\xb7\xdc\xae\xf7\x0b\x0e\x8b\xc7\xe4\xb2\xf9\x8c\x4e\xab\xd7\xec\xb6\xfb"
        "\x0d\x8f\xcb\xe7\xf4\xba\xfd\x8e\xcf\xeb\xf7\xde\x02\x00\x3b";
    return QByteArray(bytes, sizeof(bytes) - 1);
}
