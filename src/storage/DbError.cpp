#include "DbError.h"

DbError::DbError(int number, const QString &description)
    : std::runtime_error(description.toStdString()), m_number(number), m_description(description)
{
}

DbError DbError::FromSql(const QSqlError &error)
{
    bool ok = false;
    int number = error.nativeErrorCode().toInt(&ok);
    if (!ok)
        number = 1; // SQLITE_ERROR: the driver gave no code of its own
    // The driver reports extended codes (1811 for a refusing trigger); the primary code
    // in their low byte (19, a constraint) is the one users and manuals know.
    number &= 0xff;
    // The engine's own words ("UNIQUE constraint failed: ..."); Qt's wrapper text
    // ("Unable to fetch row") only where the engine said nothing.
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.driverText();
    if (text.isEmpty())
        text = error.text();
    return DbError(number, text);
}

QString DbError::Message(const QString &action) const
{
    return Compose(m_number, action, m_description);
}

QString DbError::Compose(int number, const QString &action, const QString &description)
{
    // A non-negative number keeps a blank where a minus sign would stand.
    const QString sign = number >= 0 ? QStringLiteral(" ") : QString();
    return QStringLiteral("Error") + sign + QString::number(number) + action
           + QStringLiteral("\r\n") + description;
}
