#include "CataloguePreparer.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

bool copyIfMissing(const QString &resource, const QString &target, QString *error)
{
    if (QFileInfo::exists(target))
        return true;
    if (!QFile::copy(resource, target))
        return fail(error, QStringLiteral("Cannot write %1").arg(target));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                      | QFile::ReadOther);
    return true;
}

bool runSchema(const QString &file, QString *error)
{
    static QAtomicInt counter;
    const QString name = QStringLiteral("prepare-%1").arg(counter.fetchAndAddRelaxed(1));
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (!db.open()) {
            ok = fail(error, db.lastError().text());
        } else {
            QSqlQuery query(db);
            db.transaction();
            const QStringList statements =
                CataloguePreparer::SchemaText().split(QLatin1Char(';'), Qt::SkipEmptyParts);
            for (const QString &raw : statements) {
                QString statement;
                for (const QString &line : raw.split(QLatin1Char('\n')))
                    if (!line.trimmed().startsWith(QLatin1String("--")))
                        statement += line + QLatin1Char('\n');
                if (statement.trimmed().isEmpty())
                    continue;
                if (!query.exec(statement)) {
                    ok = fail(error, query.lastError().text());
                    break;
                }
            }
            ok = ok ? db.commit() : (db.rollback(), false);
            query.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

QString CataloguePreparer::SchemaText()
{
    QFile file(QStringLiteral(":/catalogue/schema.sql"));
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

bool CataloguePreparer::Prepare(const QString &folder, QString *error)
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("images")))
        return fail(error, QStringLiteral("Cannot create %1/images").arg(folder));
    if (!copyIfMissing(QStringLiteral(":/catalogue/images/nothing.jpg"),
                       dir.filePath(QStringLiteral("images/nothing.jpg")), error)
        || !copyIfMissing(QStringLiteral(":/catalogue/images/no_records.jpg"),
                          dir.filePath(QStringLiteral("images/no_records.jpg")), error))
        return false;

    const QString target = dir.filePath(QStringLiteral("dvd_collection.mdb"));
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        return true;

    // Built beside the target and renamed into place, so an interrupted build leaves no
    // half-made catalogue that a later build would take for a user's.
    const QString partial = target + QStringLiteral(".partial");
    QFile::remove(partial);
    if (!runSchema(partial, error)) {
        QFile::remove(partial);
        return false;
    }
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        return fail(error, QStringLiteral("Cannot create %1").arg(target));
    }
    return true;
}
