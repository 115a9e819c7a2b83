#include "RawQueries.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <QVector>

namespace {
QAtomicInt g_connections;
}

RawQueries::RawQueries(QString cataloguePath) : m_path(std::move(cataloguePath)) {}

qint64 RawQueries::ReadAll(const QString &statement, int *rows) const
{
    const QString name = QStringLiteral("raw-%1").arg(g_connections.fetchAndAddRelaxed(1));
    QElapsedTimer timer;
    timer.start();
    QVector<QVector<QVariant>> kept;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(m_path);
        if (!db.open())
            qFatal("cannot open %s: %s", qPrintable(m_path), qPrintable(db.lastError().text()));
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(statement))
            qFatal("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
        const int columns = query.record().count();
        while (query.next()) {
            QVector<QVariant> row(columns);
            for (int i = 0; i < columns; ++i)
                row[i] = query.value(i);
            kept.append(std::move(row));
        }
    }
    QSqlDatabase::removeDatabase(name);
    const qint64 elapsed = timer.nsecsElapsed();
    if (rows)
        *rows = int(kept.size());
    return elapsed;
}

qint64 RawQueries::ReadAll(const QStringList &statements) const
{
    qint64 total = 0;
    for (const QString &statement : statements)
        total += ReadAll(statement);
    return total;
}

qint64 RawQueries::Transaction(const QVector<Bound> &statements) const
{
    const QString name = QStringLiteral("raw-%1").arg(g_connections.fetchAndAddRelaxed(1));
    QElapsedTimer timer;
    timer.start();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(m_path);
        if (!db.open() || !db.transaction())
            qFatal("cannot write %s: %s", qPrintable(m_path), qPrintable(db.lastError().text()));
        QSqlQuery query(db);
        for (const Bound &statement : statements) {
            query.prepare(statement.first);
            for (const QVariant &value : statement.second)
                query.addBindValue(value);
            if (!query.exec())
                qFatal("%s: %s", qPrintable(statement.first), qPrintable(query.lastError().text()));
            while (query.next()) {}
        }
        query.finish();
        if (!db.commit())
            qFatal("commit: %s", qPrintable(db.lastError().text()));
    }
    QSqlDatabase::removeDatabase(name);
    return timer.nsecsElapsed();
}

QVariant RawQueries::Scalar(const QString &statement) const
{
    const QString name = QStringLiteral("raw-%1").arg(g_connections.fetchAndAddRelaxed(1));
    QVariant result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(m_path);
        db.open();
        QSqlQuery query(db);
        if (query.exec(statement) && query.next())
            result = query.value(0);
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}
