#pragma once

#include <QtGlobal>

class Connection;
struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

// An aggregate function of ours known to a connection's engine while this lives, its
// steps given `user` (sqlite3_user_data).
class EngineAggregate
{
public:
    using Step = void (*)(sqlite3_context *, int, sqlite3_value **);
    using Final = void (*)(sqlite3_context *);

    // Throws DbError (the catalogue not open, or the engine refusing).
    EngineAggregate(Connection &connection, const char *name, int arguments, void *user, Step step,
                    Final final);
    ~EngineAggregate();
    Q_DISABLE_COPY(EngineAggregate)

private:
    sqlite3 *m_engine;
    const char *m_name;
    int m_arguments;
};
