#include "EngineAggregate.h"

#include "Connection.h"
#include "DbError.h"
#include "RawRows.h"

#include <sqlite3.h>

EngineAggregate::EngineAggregate(Connection &connection, const char *name, int arguments,
                                 void *user, Step step, Final final)
    : m_engine(RawRows::Engine(connection.Database())), m_name(name), m_arguments(arguments)
{
    if (!m_engine)
        throw DbError(1, QStringLiteral("The catalogue is not open."));
    if (sqlite3_create_function_v2(m_engine, name, arguments, SQLITE_UTF8, user, nullptr, step,
                                   final, nullptr)
        != SQLITE_OK)
        throw DbError(sqlite3_errcode(m_engine), QString::fromUtf8(sqlite3_errmsg(m_engine)));
}

EngineAggregate::~EngineAggregate()
{
    sqlite3_create_function_v2(m_engine, m_name, m_arguments, SQLITE_UTF8, nullptr, nullptr,
                               nullptr, nullptr, nullptr);
}
