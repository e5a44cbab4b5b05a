#include "store/Sqlite.h"

#include <sqlite3.h>

#include <utility>

namespace lineara::sqlite {

namespace {

[[noreturn]] void Throw(sqlite3* db, int rc) {
    const char* message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    throw Error(rc, message ? message : "unknown SQLite error");
}

}  // namespace

Connection::Connection(const QString& path, int flags) {
    const QByteArray utf8 = path.toUtf8();
    const int rc = sqlite3_open_v2(utf8.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw Error(rc, message);
    }
    sqlite3_extended_result_codes(db_, 1);
}

Connection::~Connection() { Close(); }

Connection::Connection(Connection&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        Close();
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

void Connection::Close() {
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void Connection::Execute(const char* sql) {
    char* error = nullptr;
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        throw Error(rc, message);
    }
}

qint64 Connection::QueryInteger(const char* sql) {
    Statement statement(*this, sql);
    if (!statement.Step()) {
        throw Error(SQLITE_ERROR, std::string("no result from: ") + sql);
    }
    return statement.Integer(0);
}

qint64 Connection::LastInsertRowId() const { return sqlite3_last_insert_rowid(db_); }

int Connection::Changes() const { return sqlite3_changes(db_); }

QString Connection::LastMessage() const {
    return db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString();
}

Statement::Statement(const Connection& connection, const char* sql) : db_(connection.Handle()) {
    const int rc = sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        Throw(db_, rc);
    }
}

Statement::Statement(const Connection& connection, const QString& sql)
    : Statement(connection, sql.toUtf8().constData()) {}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement::Statement(Statement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)),
      stmt_(std::exchange(other.stmt_, nullptr)),
      has_row_(std::exchange(other.has_row_, false)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = std::exchange(other.db_, nullptr);
        stmt_ = std::exchange(other.stmt_, nullptr);
        has_row_ = std::exchange(other.has_row_, false);
    }
    return *this;
}

void Statement::Check(int rc) const {
    if (rc != SQLITE_OK) {
        Throw(db_, rc);
    }
}

void Statement::BindNull(int index) { Check(sqlite3_bind_null(stmt_, index)); }

void Statement::BindInteger(int index, qint64 value) {
    Check(sqlite3_bind_int64(stmt_, index, value));
}

void Statement::BindDouble(int index, double value) {
    Check(sqlite3_bind_double(stmt_, index, value));
}

void Statement::BindText(int index, const QString& value) {
    if (value.isNull()) {
        BindNull(index);
        return;
    }
    BindUtf8(index, value.toUtf8());
}

void Statement::BindUtf8(int index, const QByteArray& value) {
    Check(sqlite3_bind_text(stmt_, index, value.constData(), static_cast<int>(value.size()),
                            SQLITE_TRANSIENT));
}

bool Statement::Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        has_row_ = true;
        return true;
    }
    has_row_ = false;
    if (rc == SQLITE_DONE) {
        return false;
    }
    // Leave the statement reusable before reporting the failure.
    sqlite3_reset(stmt_);
    Throw(db_, rc);
}

void Statement::Reset() {
    has_row_ = false;
    if (stmt_) {
        sqlite3_reset(stmt_);
    }
}

bool Statement::IsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

qint64 Statement::Integer(int column) const { return sqlite3_column_int64(stmt_, column); }

double Statement::Double(int column) const { return sqlite3_column_double(stmt_, column); }

QString Statement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (!text) {
        return QString();
    }
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column));
}

int Statement::ColumnType(int column) const { return sqlite3_column_type(stmt_, column); }

int Statement::ColumnCount() const { return sqlite3_column_count(stmt_); }

QString Statement::ColumnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}

}  // namespace lineara::sqlite
