// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// A thin layer over SQLite's C interface, for the storage unit alone: a connection, its
// prepared statements kept for reuse, a transaction. Every result code is checked; any failure
// throws sqlite::Error, which the unit turns into what the player is told, so nothing leaves it.

#include <QString>

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <type_traits>
#include <unordered_map>

namespace storage::sqlite {

struct Error
{
    int code; // extended result code
};

// What a failure means for the record.
bool isDamage(int code);
// Full disk, a lock held elsewhere, a write or sync that failed: it may clear by itself.
bool mayClear(int code);
// The failure in the player's words: "the disk is full".
QString reasonFor(int code);

class Rows;

class Statement
{
public:
    Statement(sqlite3 *db, const char *sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // Binds the values to ?1, ?2, ... and runs the statement to its end.
    template<typename... Values>
    void run(const Values &...values);
    // Binds the values; the rows are read while the result lives.
    template<typename... Values>
    Rows query(const Values &...values);

private:
    friend class Rows;
    void bind(int index, std::int64_t value);
    void bind(int index, const QString &value);
    bool step();
    void reset();

    sqlite3_stmt *m_statement = nullptr;
};

// A query's rows. Ending it resets the statement, which ends its read of the file: a statement
// left stepping would hold back every checkpoint.
class Rows
{
public:
    explicit Rows(Statement &statement) : m_statement(statement) { }
    ~Rows() { m_statement.reset(); }
    Rows(const Rows &) = delete;
    Rows &operator=(const Rows &) = delete;

    bool next() { return m_statement.step(); }
    std::int64_t integer(int column) const;
    QString text(int column) const;
    bool isNull(int column) const;

private:
    Statement &m_statement;
};

class Connection
{
public:
    enum Mode {
        ReadWrite, // an existing file, for reading and writing
        ReadOnly, // an existing file, never written, locked or recovered into
    };

    // Never follows a symbolic link, and never creates the file.
    Connection(const QString &path, Mode mode);
    // A copy of another connection's file in memory, written there alone.
    static std::unique_ptr<Connection> copyInMemory(Connection &from);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    sqlite3 *handle() const { return m_db; }
    // The statement of this text, prepared at its first use and kept.
    Statement &statement(const char *sql);
    // Runs statements that return nothing: the schema, pragmas.
    void exec(const char *sql);
    // The first column of the first row of a query.
    std::int64_t integer(const char *sql);
    // How long a lock held elsewhere is waited for, each time.
    void setBusyTimeout(int ms);
    // Closing the last connection copies the log into the file and removes it: not for a
    // file that may be damaged, which is to be set aside as it is.
    // Whether it took.
    bool setCheckpointOnClose(bool checkpoint) noexcept;

private:
    Connection() = default;
    void open(const QByteArray &name, int flags);
    void close();

    sqlite3 *m_db = nullptr;
    std::unordered_map<const char *, std::unique_ptr<Statement>> m_statements;
};

// A transaction, rolled back unless committed. A write takes the file's write lock at once, so
// that the busy wait applies to it; a read sees one state of the file throughout.
class Transaction
{
public:
    enum Kind { Read, Write };

    explicit Transaction(Connection &connection, Kind kind = Write);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();

private:
    Connection &m_connection;
};

// Throws unless the result code is one of success.
void check(sqlite3 *db, int result);

template<typename... Values>
void Statement::run(const Values &...values)
{
    Rows rows = query(values...);
    while (rows.next()) { }
}

template<typename... Values>
Rows Statement::query(const Values &...values)
{
    int index = 0;
    [[maybe_unused]] const auto bindOne = [&](const auto &value) {
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, QString>)
            bind(++index, value);
        else
            bind(++index, std::int64_t(value));
    };
    (bindOne(values), ...);
    return Rows(*this);
}

} // namespace storage::sqlite
