// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "storage/sqlite.h"

#include <QFile>
#include <QUrl>

namespace storage::sqlite {

bool isDamage(int code)
{
    return (code & 0xff) == SQLITE_CORRUPT || (code & 0xff) == SQLITE_NOTADB;
}

bool mayClear(int code)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_PROTOCOL:
        return true;
    default:
        break;
    }
    return false;
}

QString reasonFor(int code)
{
    switch (code & 0xff) {
    case SQLITE_FULL:
        return QStringLiteral("the disk is full");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_PROTOCOL:
        return QStringLiteral("another program is using the file");
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return QStringLiteral("the file cannot be written");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("the file is damaged");
    case SQLITE_IOERR:
        return QStringLiteral("the disk reported an error (%1)").arg(sqlite3_errstr(code));
    default:
        break;
    }
    return QStringLiteral("the file could not be used (%1)").arg(sqlite3_errstr(code));
}

void check(sqlite3 *db, int result)
{
    if (result != SQLITE_OK && result != SQLITE_ROW && result != SQLITE_DONE)
        throw Error{ db ? sqlite3_extended_errcode(db) : result };
}

Statement::Statement(sqlite3 *db, const char *sql)
{
    check(db, sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr));
}

// sqlite3_finalize() returns the last step's error again, already thrown.
Statement::~Statement()
{
    (void)sqlite3_finalize(m_statement);
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

// Returns the last step's error again, already thrown.
void Statement::reset()
{
    (void)sqlite3_reset(m_statement);
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

bool Rows::isNull(int column) const
{
    return sqlite3_column_type(m_statement.m_statement, column) == SQLITE_NULL;
}

Connection::Connection(const QString &path, Mode mode)
{
    const int noLink = SQLITE_OPEN_NOFOLLOW;
    if (mode == ReadWrite) {
#ifdef Q_OS_WIN
        // SQLite takes UTF-8 names on Windows; the ANSI code page of encodeName() would not
        // reach a profile folder named in another script.
        open(path.toUtf8(), SQLITE_OPEN_READWRITE | noLink);
#else
        open(QFile::encodeName(path), SQLITE_OPEN_READWRITE | noLink);
#endif
        return;
    }
    // A read never recovers a log into the file, takes a write lock or makes a file. Without a
    // log beside the file no copy is writing it: it is read as it stands, with no log or index
    // of one made for the reading. One with a log it cannot open (in a folder it cannot write)
    // is read as it stands too.
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded();
    const QByteArray asItStands = uri + "?mode=ro&immutable=1";
    const int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | noLink;
    if (!QFile::exists(path + QLatin1String("-wal"))) {
        open(asItStands, flags);
        return;
    }
    try {
        open(uri + "?mode=ro", flags);
        integer("PRAGMA user_version");
    } catch (const Error &error) {
        if ((error.code & 0xff) != SQLITE_CANTOPEN)
            throw;
        close();
        open(asItStands, flags);
    }
}

std::unique_ptr<Connection> Connection::copyInMemory(Connection &from)
{
    std::unique_ptr<Connection> copy(new Connection);
    copy->open(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3_backup *backup = sqlite3_backup_init(copy->m_db, "main", from.m_db, "main");
    if (!backup)
        check(copy->m_db, SQLITE_ERROR);
    (void)sqlite3_backup_step(backup, -1);
    // The step's result, as the end of the copy reports it.
    check(copy->m_db, sqlite3_backup_finish(backup));
    return copy;
}

void Connection::open(const QByteArray &name, int flags)
{
    const int result = sqlite3_open_v2(name.constData(), &m_db, flags, nullptr);
    if (result != SQLITE_OK) {
        const int code = m_db ? sqlite3_extended_errcode(m_db) : result;
        close();
        throw Error{ code };
    }
    check(m_db, sqlite3_extended_result_codes(m_db, 1));
}

Connection::~Connection()
{
    close();
}

// Every statement is finalized first, so the connection closes at once; a failure to close
// can only be a statement left open, which the map rules out.
void Connection::close()
{
    m_statements.clear();
    (void)sqlite3_close(m_db);
    m_db = nullptr;
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

void Connection::setBusyTimeout(int ms)
{
    check(m_db, sqlite3_busy_timeout(m_db, ms));
}

bool Connection::setCheckpointOnClose(bool checkpoint) noexcept
{
    return sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, checkpoint ? 0 : 1, nullptr)
            == SQLITE_OK;
}

Transaction::Transaction(Connection &connection, Kind kind) : m_connection(connection)
{
    m_connection.statement(kind == Write ? "BEGIN IMMEDIATE" : "BEGIN").run();
}

// A failed commit may have ended the transaction already; a failed rollback leaves it to the
// connection's close, which rolls back whatever is open.
Transaction::~Transaction()
{
    if (!sqlite3_get_autocommit(m_connection.handle()))
        (void)sqlite3_exec(m_connection.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    m_connection.statement("COMMIT").run();
}

} // namespace storage::sqlite
