#pragma once

#include <QSqlError>
#include <QString>
#include <stdexcept>

// A failed catalogue operation: the engine's result code and its own text.
// Read paths let it end the program; paths that change data catch it and report it.
class DbError : public std::runtime_error
{
public:
    DbError(int number, const QString &description);
    static DbError FromSql(const QSqlError &error);

    int Number() const { return m_number; }
    const QString &Description() const { return m_description; }

    // "Error" + number with its sign place + action + CR LF + description,
    // e.g. "Error 19 inserting records.\r\nUNIQUE constraint failed".
    QString Message(const QString &action) const;
    static QString Compose(int number, const QString &action, const QString &description);

private:
    int m_number;
    QString m_description;
};
