#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <stdexcept>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace lineara::sqlite {

// A failure reported by SQLite, carrying its message and result code.
class Error : public std::runtime_error {
public:
    Error(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

// Owns one sqlite3 connection.
class Connection {
public:
    Connection() = default;
    Connection(const QString& path, int flags);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Connection(Connection&& other) noexcept;
    Connection& operator=(Connection&& other) noexcept;

    sqlite3* Handle() const { return db_; }
    bool IsOpen() const { return db_ != nullptr; }
    void Close();

    // Runs one or more statements that take no parameters and return no rows.
    void Execute(const char* sql);
    // Runs a statement returning one integer (a pragma, a count).
    qint64 QueryInteger(const char* sql);
    qint64 LastInsertRowId() const;
    int Changes() const;
    QString LastMessage() const;

private:
    sqlite3* db_ = nullptr;
};

// Owns one prepared statement. Parameters are 1-based, columns 0-based, as in SQLite.
class Statement {
public:
    Statement() = default;
    Statement(const Connection& connection, const char* sql);
    Statement(const Connection& connection, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;

    bool IsPrepared() const { return stmt_ != nullptr; }

    void BindNull(int index);
    void BindInteger(int index, qint64 value);
    void BindDouble(int index, double value);
    void BindText(int index, const QString& value);
    void BindUtf8(int index, const QByteArray& value);

    // Steps once; true when a row is available, false when the statement is done.
    bool Step();
    // Resets the statement so it can run again (bindings are kept) and ends any read it holds.
    void Reset();
    // True between a Step() that returned a row and the next Reset().
    bool HasRow() const { return has_row_; }

    bool IsNull(int column) const;
    qint64 Integer(int column) const;
    double Double(int column) const;
    QString Text(int column) const;
    int ColumnType(int column) const;
    int ColumnCount() const;
    QString ColumnName(int column) const;

private:
    void Check(int rc) const;

    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    bool has_row_ = false;
};

}  // namespace lineara::sqlite
