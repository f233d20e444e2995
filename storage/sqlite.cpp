// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "storage/sqlite.h"

#include <QFile>

namespace storage::sqlite {

void check(sqlite3 *db, int result)
{
    if (result != SQLITE_OK && result != SQLITE_ROW && result != SQLITE_DONE)
        throw Error{ db ? sqlite3_extended_errcode(db) : result };
}

Statement::Statement(sqlite3 *db, const char *sql)
{
    check(db, sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr));
}

Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

void Statement::bind(int index, std::int64_t value)
{
    check(sqlite3_db_handle(m_statement), sqlite3_bind_int64(m_statement, index, value));
}

void Statement::bind(int index, const QString &value)
{
    const QByteArray text = value.toUtf8();
    check(sqlite3_db_handle(m_statement),
          sqlite3_bind_text(m_statement, index, text.constData(), int(text.size()),
                            SQLITE_TRANSIENT));
}

bool Statement::step()
{
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW)
        return true;
    if (result != SQLITE_DONE) {
        // The error code, before the reset that ends the statement's read.
        const int code = sqlite3_extended_errcode(sqlite3_db_handle(m_statement));
        reset();
        throw Error{ code };
    }
    return false;
}

void Statement::reset()
{
    // Returns the last step's error again, already thrown.
    sqlite3_reset(m_statement);
}

std::int64_t Rows::integer(int column) const
{
    return sqlite3_column_int64(m_statement.m_statement, column);
}

QString Rows::text(int column) const
{
    return QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(m_statement.m_statement, column)));
}

Connection::Connection(const QString &path)
{
#ifdef Q_OS_WIN
    // SQLite takes UTF-8 names on Windows; the ANSI code page of encodeName() would not reach
    // a profile folder named in another script.
    const QByteArray name = path.toUtf8();
#else
    const QByteArray name = QFile::encodeName(path);
#endif
    const int result = sqlite3_open_v2(name.constData(), &m_db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (result != SQLITE_OK) {
        const int code = m_db ? sqlite3_extended_errcode(m_db) : result;
        sqlite3_close(m_db);
        throw Error{ code };
    }
    sqlite3_extended_result_codes(m_db, 1);
}

Connection::~Connection()
{
    m_statements.clear();
    sqlite3_close(m_db);
}

Statement &Connection::statement(const char *sql)
{
    std::unique_ptr<Statement> &kept = m_statements[sql];
    if (!kept)
        kept = std::make_unique<Statement>(m_db, sql);
    return *kept;
}

void Connection::exec(const char *sql)
{
    check(m_db, sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr));
}

std::int64_t Connection::integer(const char *sql)
{
    Rows rows = statement(sql).query();
    return rows.next() ? rows.integer(0) : 0;
}

Transaction::Transaction(Connection &connection, Kind kind) : m_connection(connection)
{
    m_connection.statement(kind == Write ? "BEGIN IMMEDIATE" : "BEGIN").run();
}

Transaction::~Transaction()
{
    // A failed commit may have ended the transaction already.
    if (!sqlite3_get_autocommit(m_connection.handle()))
        sqlite3_exec(m_connection.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    m_connection.statement("COMMIT").run();
}

} // namespace storage::sqlite
