#pragma once

#include "store/Criteria.h"
#include "store/DogRecord.h"
#include "store/Sqlite.h"

#include <QHash>
#include <QString>

#include <bitset>
#include <memory>
#include <optional>
#include <vector>

namespace lineara {

class RecordStore;

// One open LINEARA database file: a single SQLite connection shared by every cursor on the
// file in this process, so that a transaction covers all of them. Opening checks that the
// file really is one of ours and never changes a file that is not.
class DogDatabase {
public:
    using FieldMask = std::bitset<kFieldCount>;

    // Opens (or returns the already open) database at the path. Throws StoreError with a
    // readable reason when the file is missing, unreadable, read-only, locked, damaged or
    // not a LINEARA database.
    static std::shared_ptr<DogDatabase> Open(const QString& path);

    // Creates a new, empty database file (schema only). Refuses to replace an existing file.
    static void Create(const QString& path);

    ~DogDatabase();
    DogDatabase(const DogDatabase&) = delete;
    DogDatabase& operator=(const DogDatabase&) = delete;

    const QString& Path() const { return path_; }
    sqlite::Connection& Connection() { return connection_; }

    // Ends every read the cursors hold, so the write that follows is committed at once and
    // cursors re-read their rows afterwards.
    void BeforeWrite();
    // Bumped on every change; cursors compare it to know whether their row is still current.
    quint64 Generation() const { return generation_; }
    // Names this open of the file for the whole run, never reused: what is kept of the file's
    // contents between commands is kept under it.
    quint64 OpenSerial() const { return open_serial_; }

    qint32 InsertRow(const DogRecord& record);
    void UpdateRow(qint32 dog_id, const DogRecord& record, const FieldMask& changed);
    bool DeleteRow(qint32 dog_id);
    // Sets one number field to a value in every row where it currently holds another value
    // (clearing references to a deleted dog, resetting scratch marks).
    int ReplaceNumber(Field field, qint64 from, qint64 to);

    // First DogID above `after` whose row matches, or 0.
    qint32 FindNextId(const Criterion& criterion, qint32 after);
    std::optional<DogRecord> ReadRow(qint32 dog_id);
    qint64 CountRows();
    // Forgets the cached count and identity range, for when another program may have
    // changed the file.
    void ForgetStatistics() { count_generation_ = range_generation_ = 0; }
    qint32 MinId();
    qint32 MaxId();

    void RegisterCursor(RecordStore* cursor);
    void UnregisterCursor(RecordStore* cursor);

    // All-or-nothing unit of work; nests through savepoints. Rolls back on destruction unless
    // Commit() was called.
    class Transaction {
    public:
        explicit Transaction(DogDatabase& database);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void Commit();

    private:
        DogDatabase& database_;
        int depth_;
        bool done_ = false;
    };

    // Holds one read open across many lookups (a chart fill), so that SQLite does not take and
    // drop the file's lock around each of them. Inside an open transaction it does nothing.
    class ReadTransaction {
    public:
        explicit ReadTransaction(DogDatabase& database);
        ~ReadTransaction();
        ReadTransaction(const ReadTransaction&) = delete;
        ReadTransaction& operator=(const ReadTransaction&) = delete;

    private:
        DogDatabase& database_;
        bool open_ = false;
    };

    // Raises a StoreError naming this file; used when SQLite fails part-way.
    [[noreturn]] void Fail(const QString& reason) const;

private:
    DogDatabase(QString path, sqlite::Connection connection);
    void RegisterFunctions();
    sqlite::Statement& Cached(const QString& sql);
    sqlite::Statement& FindStatement(const Criterion& criterion);
    void ReadIdRange();

    QString path_;
    sqlite::Connection connection_;
    quint64 generation_ = 1;
    quint64 open_serial_ = 0;
    int transaction_depth_ = 0;
    std::vector<RecordStore*> cursors_;
    QHash<QString, std::shared_ptr<sqlite::Statement>> statements_;
    // Cached row statistics, each valid for one generation.
    bool has_count_table_ = false;
    quint64 count_generation_ = 0;
    quint64 range_generation_ = 0;
    qint64 row_count_ = -1;
    qint32 min_id_ = 0;
    qint32 max_id_ = 0;
};

// Reads column `column` of the statement's current row as a value of the field's type.
QVariant ColumnValue(const sqlite::Statement& statement, int column, Field field);

}  // namespace lineara
