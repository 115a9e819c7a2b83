#include "TestFolder.h"

#include "CataloguePreparer.h"

#include <QAtomicInt>
#include <QColor>
#include <QSqlRecord>
#include <QFile>
#include <QImage>
#include <QSqlError>
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
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                          m_connectionName);
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

void TestFolder::Exec(const QString &statement, const QVariantList &values)
{
    QSqlQuery query(db());
    query.prepare(statement);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        qFatal("TestFolder: %s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
}

QVector<QVariantList> TestFolder::Rows(const QString &statement, const QVariantList &values)
{
    QSqlQuery query(db());
    query.prepare(statement);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        qFatal("TestFolder: %s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
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
    const QVariant id = Scalar(QStringLiteral("SELECT Genre_ID FROM Genre WHERE Genre = ?"), {name});
    return id.isNull() ? 0 : id.toLongLong();
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
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    const QString file = ImagesPath() + QLatin1Char('/') + name;
    if (!image.save(file, format))
        qFatal("TestFolder: cannot write %s", qPrintable(file));
    return file;
}

QByteArray TestFolder::CatalogueBytes() const
{
    QFile file(CataloguePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString TestFolder::WriteImageFile(const QString &name, const QByteArray &bytes)
{
    const QString file = ImagesPath() + QLatin1Char('/') + name;
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("TestFolder: cannot write %s", qPrintable(file));
    return file;
}

QByteArray TestFolder::TinyGif()
{
    // GIF89a, 2x1 pixels, a two-colour palette, one LZW-coded image.
    static const unsigned char bytes[] = {
        'G', 'I', 'F', '8', '9', 'a', 0x02, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00,
        0xff, 0x00, 0x00, 0x00, 0x00, 0xff, // palette: red, blue
        0x2c, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01, 0x00, 0x00,
        0x02, 0x02, 0x44, 0x0a, 0x00, 0x3b};
    return QByteArray(reinterpret_cast<const char *>(bytes), sizeof bytes);
}
