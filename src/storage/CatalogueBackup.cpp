#include "CatalogueBackup.h"

#include "Connection.h"
#include "DbError.h"

#include <QAtomicInteger>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace CatalogueBackup {

namespace {

const QString kCatalogue = QStringLiteral("dvd_collection.mdb");
const QStringList kTables{QStringLiteral("DVD_Title"), QStringLiteral("Genre"),
                          QStringLiteral("Genre_Relationships"),
                          QStringLiteral("Cast_Relationships")};

QList<qint64> rowCounts(const QSqlDatabase &db)
{
    QList<qint64> counts;
    for (const QString &table : kTables) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("SELECT Count(*) FROM ") + table) || !query.next())
            throw DbError::FromSql(query.lastError());
        counts << query.value(0).toLongLong();
    }
    return counts;
}

// The copy, read through a read-only connection of its own: intact and the same rows.
void checkCopy(const QString &file, const QList<qint64> &expected)
{
    static QAtomicInteger<quint64> counter;
    const QString name =
        QStringLiteral("reelvane-backup-check-%1").arg(counter.fetchAndAddRelaxed(1));
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        QUrl url = QUrl::fromLocalFile(file);
        url.setQuery(QStringLiteral("mode=ro"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        if (!db.open()) {
            problem = db.lastError().databaseText();
        } else {
            QSqlQuery check(db);
            if (!check.exec(QStringLiteral("PRAGMA integrity_check")) || !check.next())
                problem = check.lastError().databaseText();
            else if (check.value(0).toString() != QLatin1String("ok"))
                problem = check.value(0).toString();
            check = QSqlQuery();
            if (problem.isEmpty()) {
                try {
                    if (rowCounts(db) != expected)
                        problem = QStringLiteral("its tables do not hold the same number of rows");
                } catch (const DbError &error) {
                    problem = error.Description();
                }
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!problem.isEmpty())
        throw Failure(QStringLiteral("The copy of the catalogue did not pass its check: ") + problem
                      + QLatin1Char('.'));
}

qint64 folderBytes(const QString &folder)
{
    qint64 bytes = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        bytes += it.fileInfo().size();
    }
    return bytes;
}

// Removes the unfinished folder however Make leaves, unless it was given its name.
class PartialFolder
{
public:
    explicit PartialFolder(QString path) : m_path(std::move(path)) {}
    ~PartialFolder()
    {
        if (!m_kept)
            QDir(m_path).removeRecursively();
    }
    const QString &Path() const { return m_path; }
    void Keep() { m_kept = true; }

private:
    QString m_path;
    bool m_kept = false;
};

} // namespace

QString FolderName(const QDateTime &when)
{
    return QStringLiteral("Reelvane backup ") + when.toString(QStringLiteral("yyyy-MM-dd HHmmss"));
}

Result Make(const QString &programFolder, const QString &connectionString,
            const QString &destination, const QDateTime &when, const Progress &progress)
{
    const QString finalPath = QDir(destination).filePath(FolderName(when));
    const QString partialPath =
        QDir(destination)
            .filePath(QLatin1Char('.') + FolderName(when) + QStringLiteral(".partial"));
    if (!QFileInfo(destination).isDir())
        throw Failure(QStringLiteral("The folder ") + destination
                      + QStringLiteral(" does not exist."));
    if (QFileInfo::exists(finalPath) || QFileInfo::exists(partialPath))
        throw Failure(QStringLiteral("A folder named ") + finalPath
                      + QStringLiteral(" already exists; it was left as it is."));
    if (!QDir().mkdir(partialPath))
        throw Failure(QStringLiteral("A folder cannot be made in ") + destination
                      + QStringLiteral(" (it may be read-only)."));
    PartialFolder partial(partialPath);

    const QString imagesFrom = programFolder + QStringLiteral("/images");
    QStringList pictures = QDir(imagesFrom).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    const qint64 steps = 1 + pictures.size();
    if (!progress(0, steps))
        return {};

    // The engine writes a consistent copy while the program may be using the catalogue.
    const QString copy = partialPath + QLatin1Char('/') + kCatalogue;
    QList<qint64> counts;
    try {
        Connection connection;
        connection.Open(connectionString);
        counts = rowCounts(connection.Database());
        QSqlQuery vacuum(connection.Database());
        vacuum.prepare(QStringLiteral("VACUUM INTO ?"));
        vacuum.addBindValue(copy);
        if (!vacuum.exec())
            throw DbError::FromSql(vacuum.lastError());
    } catch (const DbError &error) {
        throw Failure(QStringLiteral("The catalogue could not be copied: ") + error.Description()
                      + QLatin1Char('.'));
    }
    if (!progress(1, steps))
        return {};

    if (!QDir().mkdir(partialPath + QStringLiteral("/images")))
        throw Failure(QStringLiteral("The images folder could not be made in the backup."));
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const QString to = partialPath + QStringLiteral("/images/") + pictures[i];
        QFile from(imagesFrom + QLatin1Char('/') + pictures[i]);
        if (!from.copy(to)) {
            QFile::remove(to);
            throw Failure(QStringLiteral("The picture ") + pictures[i]
                          + QStringLiteral(" could not be copied: ") + from.errorString()
                          + QLatin1Char('.'));
        }
        if (!progress(2 + i, steps))
            return {};
    }

    checkCopy(copy, counts);

    if (QFileInfo::exists(finalPath) || !QDir().rename(partialPath, finalPath))
        throw Failure(QStringLiteral("The backup could not be given its name ") + finalPath
                      + QLatin1Char('.'));
    partial.Keep();
    return {finalPath, folderBytes(finalPath), int(pictures.size())};
}

} // namespace CatalogueBackup
