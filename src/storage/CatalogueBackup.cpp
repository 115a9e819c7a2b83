#include "CatalogueBackup.h"

#include "AtomicFile.h"
#include "Connection.h"
#include "DbError.h"
#include "ProgramFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

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
// quick_check reads and checks every page of the copy; it leaves out matching each index
// entry to its row, which VACUUM INTO has just built from those rows (and which any copy
// can rebuild) and which took longer than the copy itself once the cast had its index.
void checkCopy(const QString &file, const QList<qint64> &expected)
{
    QString problem;
    try {
        Connection connection;
        connection.Open(Connection::ConnectionStringFor(file), Connection::Access::ReadOnly);
        QSqlQuery check(connection.Database());
        if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next())
            problem = check.lastError().databaseText();
        else if (check.value(0).toString() != QLatin1String("ok"))
            problem = check.value(0).toString();
        else if (rowCounts(connection.Database()) != expected)
            problem = QStringLiteral("its tables do not hold the same number of rows");
    } catch (const DbError &error) {
        problem = error.Description();
    }
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

    const QString imagesFrom = ProgramFiles::ImagesFolder(programFolder);
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

    const QString imagesTo = ProgramFiles::ImagesFolder(partialPath);
    if (!QDir().mkdir(imagesTo))
        throw Failure(QStringLiteral("The images folder could not be made in the backup."));
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const QString to = imagesTo + QLatin1Char('/') + pictures[i];
        QString error;
        if (!AtomicFile::Copy(imagesFrom + QLatin1Char('/') + pictures[i], to, &error))
            throw Failure(QStringLiteral("The picture ") + pictures[i]
                          + QStringLiteral(" could not be copied: ") + error);
        if (!progress(2 + i, steps))
            return {};
    }

    checkCopy(copy, counts);

    if (QFileInfo::exists(finalPath) || !QDir().rename(partialPath, finalPath))
        throw Failure(QStringLiteral("The backup could not be given its name ") + finalPath
                      + QLatin1Char('.'));
    partial.Keep();
    const auto covers = std::count_if(pictures.cbegin(), pictures.cend(), [](const QString &name) {
        return !ProgramFiles::IsFixedPicture(name);
    });
    return {finalPath, folderBytes(finalPath), int(covers)};
}

} // namespace CatalogueBackup
