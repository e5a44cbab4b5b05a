#include "store/DogDatabase.h"

#include "store/LayoutUpgrade.h"
#include "store/RecordStore.h"
#include "store/StoreError.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <map>

namespace lineara {

namespace {

std::map<QString, std::weak_ptr<DogDatabase>>& OpenDatabases() {
    static std::map<QString, std::weak_ptr<DogDatabase>> open;
    return open;
}

QString Tr(const char* text) { return QString::fromUtf8(text); }

// Reasons a chosen file cannot be used, in the words the user sees.
QString ReasonForHeader(const QByteArray& header) {
    if (header.isEmpty()) {
        return Tr("The file is empty, so it holds no LINEARA database.");
    }
    if (header.mid(4, 15) == "Standard Jet DB" || header.mid(4, 15) == "Standard ACE DB") {
        return Tr("It is a Microsoft Access database. LINEARA keeps its dogs in a database "
                  "of its own; this file was not made by LINEARA.");
    }
    if (!header.startsWith(QByteArray("SQLite format 3\0", 16))) {
        return Tr("It is not a LINEARA database.");
    }
    if (header.size() < 100) {
        return Tr("The file is damaged (it is too short to be a database).");
    }
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    if (qFromBigEndian<quint32>(bytes + 68) != schema::kApplicationId) {
        return Tr("It is a database of another program, not a LINEARA database.");
    }
    if (qFromBigEndian<qint32>(bytes + 60) > schema::kSchemaVersion) {
        return Tr("It was made by a newer version of LINEARA.");
    }
    return QString();
}

QString ReadOnly() {
    return Tr("The file is read-only. LINEARA saves every change straight into the database, "
              "so it needs a file it can write to.");
}

QString ReadOnlyOlderLayout() {
    return Tr("The file was made by an earlier version of LINEARA and must be upgraded before "
              "it can be used, but it is read-only. Make it writable (or work on a copy) and "
              "open it again.");
}

QString ReasonForSqliteError(const sqlite::Error& error);

// Brings a file of an earlier layout up to date as it is opened, if the program's policy
// allows it; otherwise refuses it, untouched.
void UpgradeOnOpen(const QString& path, sqlite::Connection& connection, int version) {
    LayoutUpgradePolicy* policy = CurrentLayoutUpgradePolicy();
    if (!policy) {
        throw StoreError(path, Tr("It was made by an earlier version of LINEARA and must be upgraded "
                                  "first (\"lineara-cli upgrade FILE\" does that)."));
    }
    if (!policy->Announce(path)) {
        throw StoreError(path, Tr("It was made by an earlier version of LINEARA and was not upgraded, "
                                  "so it cannot be used."));
    }
    try {
        UpgradeLayout(connection, version, policy->UpgradeProgress());
        policy->Done();
    } catch (const sqlite::Error& error) {
        policy->Done();
        throw StoreError(path, Tr("Upgrading it failed, and it was left as it was: %1")
                                   .arg(ReasonForSqliteError(error)));
    } catch (...) {
        policy->Done();
        throw;
    }
}

QString ReasonForSqliteError(const sqlite::Error& error) {
    switch (error.Code() & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return Tr("Another program is using the file. Close it there and try again.");
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return Tr("The file is damaged (%1).").arg(QString::fromUtf8(error.what()));
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_CANTOPEN:
            return Tr("The file cannot be opened for writing (%1).").arg(QString::fromUtf8(error.what()));
        default:
            return QString::fromUtf8(error.what());
    }
}

QString ValueText(sqlite3_value* value) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value)), sqlite3_value_bytes(value));
}

void DeleteFolded(void* folded) { delete static_cast<QString*>(folded); }

// lineara_same_text(text, wanted): true when the two texts are equal ignoring letter case in
// every script, not only in ASCII. The wanted text is the same for a whole search, so its
// folded form is kept with the statement instead of being made again for every row.
void SameText(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    auto* wanted = static_cast<QString*>(sqlite3_get_auxdata(context, 1));
    if (!wanted) {
        wanted = new QString(ValueText(argv[1]).toCaseFolded());
        sqlite3_set_auxdata(context, 1, wanted, &DeleteFolded);
        wanted = static_cast<QString*>(sqlite3_get_auxdata(context, 1));
        if (!wanted) {
            sqlite3_result_error_nomem(context);
            return;
        }
    }
    sqlite3_result_int(context, ValueText(argv[0]).toCaseFolded() == *wanted);
}

bool IsPrintableAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() <= 0x7e; });
}

void BindValue(sqlite::Statement& statement, int index, Field field, const QVariant& value) {
    if (value.isNull()) {
        statement.BindNull(index);
        return;
    }
    switch (KindOf(field)) {
        case FieldKind::Long:
            statement.BindInteger(index, value.toInt());
            break;
        case FieldKind::YesNo:
            statement.BindInteger(index, value.toBool() ? -1 : 0);
            break;
        case FieldKind::Text:
        case FieldKind::Memo:
            statement.BindText(index, value.toString());
            break;
        case FieldKind::Date:
            statement.BindText(index, value.toDate().toString(Qt::ISODate));
            break;
        case FieldKind::Double:
            statement.BindDouble(index, value.toDouble());
            break;
    }
}

void CheckLengths(const DogDatabase& database, const DogRecord& record,
                  const DogDatabase::FieldMask& fields) {
    for (int i = 0; i < kFieldCount; ++i) {
        const Field field = FieldAt(i);
        if (!fields.test(static_cast<std::size_t>(i)) || !IsTextKind(KindOf(field))) {
            continue;
        }
        const qsizetype length = record.Text(field).size();
        if (length > MaxLengthOf(field)) {
            database.Fail(Tr("The %1 entry is %2 characters long; the database takes at most %3.")
                              .arg(QLatin1String(NameOf(field)))
                              .arg(length)
                              .arg(MaxLengthOf(field)));
        }
    }
}

}  // namespace

QVariant ColumnValue(const sqlite::Statement& statement, int column, Field field) {
    if (statement.IsNull(column)) {
        return DogRecord::Normalise(field, QVariant());
    }
    switch (KindOf(field)) {
        case FieldKind::Long:
            return QVariant::fromValue<qint32>(static_cast<qint32>(statement.Integer(column)));
        case FieldKind::YesNo:
            return QVariant(statement.Integer(column) != 0);
        case FieldKind::Text:
        case FieldKind::Memo:
        case FieldKind::Date:
            return DogRecord::Normalise(field, statement.Text(column));
        case FieldKind::Double:
            return QVariant::fromValue<double>(statement.Double(column));
    }
    return QVariant();
}

DogDatabase::DogDatabase(QString path, sqlite::Connection connection)
    : path_(std::move(path)), connection_(std::move(connection)) {
    static std::atomic<quint64> opened{0};
    open_serial_ = ++opened;
}

DogDatabase::~DogDatabase() {
    statements_.clear();
    connection_.Close();
}

void DogDatabase::Fail(const QString& reason) const { throw StoreError(path_, reason); }

std::shared_ptr<DogDatabase> DogDatabase::Open(const QString& path) {
    const QFileInfo info(path);
    if (path.trimmed().isEmpty() || !info.exists()) {
        throw StoreError(path, Tr("The file does not exist."));
    }
    if (info.isDir()) {
        throw StoreError(path, Tr("It is a folder, not a database file."));
    }
    const QString key = info.canonicalFilePath();
    auto& open = OpenDatabases();
    if (auto it = open.find(key); it != open.end()) {
        if (auto existing = it->second.lock()) {
            return existing;
        }
        open.erase(it);
    }

    // Look at the file's header before SQLite touches it, so that a file of another kind is
    // never opened by the database engine at all.
    int header_version = 0;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            throw StoreError(path, Tr("The file cannot be read (%1).").arg(file.errorString()));
        }
        const QByteArray header = file.read(100);
        const QString reason = ReasonForHeader(header);
        if (!reason.isEmpty()) {
            throw StoreError(path, reason);
        }
        header_version = qFromBigEndian<qint32>(reinterpret_cast<const uchar*>(header.constData()) + 60);
    }
    // A file whose write permissions are all off is treated as read-only even for an
    // account that could write it anyway: the user marked it so on purpose.
    const auto write_bits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!info.isWritable() || !(info.permissions() & write_bits)) {
        throw StoreError(path, header_version < schema::kSchemaVersion ? ReadOnlyOlderLayout() : ReadOnly());
    }

    try {
        sqlite::Connection connection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX);
        if (sqlite3_db_readonly(connection.Handle(), "main") == 1) {
            throw StoreError(path, header_version < schema::kSchemaVersion ? ReadOnlyOlderLayout() : ReadOnly());
        }
        sqlite3_busy_timeout(connection.Handle(), 2000);

        // The dog table must have exactly our columns, in our order.
        sqlite::Statement columns(connection, "PRAGMA table_info(DogInfo)");
        int count = 0;
        bool layout_ok = true;
        while (columns.Step()) {
            if (count >= kFieldCount || columns.Text(1) != QLatin1String(NameOf(FieldAt(count)))) {
                layout_ok = false;
            }
            ++count;
        }
        if (!layout_ok || count != kFieldCount) {
            throw StoreError(path, count == 0 ? Tr("The file holds no dog table.")
                                              : Tr("Its dog table has a layout LINEARA does not know."));
        }
        // Make sure nobody else is in the middle of changing the file.
        connection.Execute("BEGIN IMMEDIATE; ROLLBACK;");
        // (A newer layout was refused by the header check.)
        if (const int version = LayoutVersionOf(connection); version < schema::kSchemaVersion) {
            UpgradeOnOpen(path, connection, version);
        }

        std::shared_ptr<DogDatabase> database(new DogDatabase(path, std::move(connection)));
        database->RegisterFunctions();
        database->has_count_table_ =
            database->connection_.QueryInteger(
                "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'DogCount'") == 1;
        open[key] = database;
        return database;
    } catch (const sqlite::Error& error) {
        throw StoreError(path, ReasonForSqliteError(error));
    }
}

void DogDatabase::Create(const QString& path) {
    if (QFileInfo::exists(path)) {
        throw StoreError(path, Tr("A file of that name already exists."));
    }
    // Build the new file under a temporary name, then move it into place, so that a failure
    // never leaves a half-made database under the real name.
    const QString temporary = path + QStringLiteral(".creating");
    QFile::remove(temporary);
    try {
        {
            sqlite::Connection connection(temporary, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            connection.Execute("BEGIN");
            connection.Execute(
                QStringLiteral("PRAGMA application_id = %1; PRAGMA user_version = %2;")
                    .arg(schema::kApplicationId)
                    .arg(schema::kSchemaVersion)
                    .toUtf8()
                    .constData());
            connection.Execute(schema::CreateStatements().toUtf8().constData());
            connection.Execute("COMMIT");
        }
        if (!QFile::rename(temporary, path)) {
            throw StoreError(path, Tr("The new database could not be saved under that name."));
        }
    } catch (const sqlite::Error& error) {
        QFile::remove(temporary);
        throw StoreError(path, ReasonForSqliteError(error));
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
}

void DogDatabase::RegisterFunctions() {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(connection_.Handle(), "lineara_same_text", 2, flags, nullptr,
                               &SameText, nullptr, nullptr, nullptr);
}

sqlite::Statement& DogDatabase::Cached(const QString& sql) {
    auto it = statements_.find(sql);
    if (it == statements_.end()) {
        it = statements_.insert(sql, std::make_shared<sqlite::Statement>(connection_, sql));
    }
    return **it;
}

void DogDatabase::BeforeWrite() {
    for (RecordStore* cursor : cursors_) {
        cursor->ReleaseRead();
    }
    ++generation_;
}

void DogDatabase::RegisterCursor(RecordStore* cursor) { cursors_.push_back(cursor); }

void DogDatabase::UnregisterCursor(RecordStore* cursor) {
    cursors_.erase(std::remove(cursors_.begin(), cursors_.end(), cursor), cursors_.end());
}

qint32 DogDatabase::InsertRow(const DogRecord& record) {
    FieldMask all;
    all.set();
    CheckLengths(*this, record, all);
    static const QString sql = [] {
        QString columns;
        QString values;
        for (int i = 1; i < kFieldCount; ++i) {
            columns += (i > 1 ? QStringLiteral(",") : QString()) + QLatin1String(NameOf(FieldAt(i)));
            values += (i > 1 ? QStringLiteral(",?") : QStringLiteral("?"));
        }
        return QStringLiteral("INSERT INTO DogInfo (%1) VALUES (%2)").arg(columns, values);
    }();
    BeforeWrite();
    sqlite::Statement& insert = Cached(sql);
    for (int i = 1; i < kFieldCount; ++i) {
        BindValue(insert, i, FieldAt(i), record.Value(FieldAt(i)));
    }
    insert.Step();
    insert.Reset();
    const qint64 id = connection_.LastInsertRowId();
    if (id <= 0 || id > std::numeric_limits<qint32>::max()) {
        Fail(Tr("The database has run out of dog numbers."));
    }
    return static_cast<qint32>(id);
}

void DogDatabase::UpdateRow(qint32 dog_id, const DogRecord& record, const FieldMask& changed) {
    FieldMask fields = changed;
    fields.reset(IndexOf(Field::DogID));
    if (fields.none()) {
        return;
    }
    CheckLengths(*this, record, fields);
    QString sql = QStringLiteral("UPDATE DogInfo SET ");
    bool first = true;
    for (int i = 1; i < kFieldCount; ++i) {
        if (fields.test(static_cast<std::size_t>(i))) {
            sql += (first ? QString() : QStringLiteral(",")) + QLatin1String(NameOf(FieldAt(i))) +
                   QStringLiteral("=?") + QString::number(i);
            first = false;
        }
    }
    sql += QStringLiteral(" WHERE DogID=?") + QString::number(kFieldCount + 1);
    BeforeWrite();
    sqlite::Statement& update = Cached(sql);
    for (int i = 1; i < kFieldCount; ++i) {
        if (fields.test(static_cast<std::size_t>(i))) {
            BindValue(update, i, FieldAt(i), record.Value(FieldAt(i)));
        }
    }
    update.BindInteger(kFieldCount + 1, dog_id);
    update.Step();
    update.Reset();
    if (connection_.Changes() == 0) {
        Fail(Tr("The dog being saved is no longer in the database."));
    }
}

bool DogDatabase::DeleteRow(qint32 dog_id) {
    BeforeWrite();
    sqlite::Statement& remove = Cached(QStringLiteral("DELETE FROM DogInfo WHERE DogID=?1"));
    remove.BindInteger(1, dog_id);
    remove.Step();
    remove.Reset();
    return connection_.Changes() > 0;
}

int DogDatabase::ReplaceNumber(Field field, qint64 from, qint64 to) {
    BeforeWrite();
    const QString name = QLatin1String(NameOf(field));
    sqlite::Statement& replace =
        Cached(QStringLiteral("UPDATE DogInfo SET %1=?2 WHERE %1=?1").arg(name));
    replace.BindInteger(1, from);
    replace.BindInteger(2, to);
    replace.Step();
    replace.Reset();
    return connection_.Changes();
}

sqlite::Statement& DogDatabase::FindStatement(const Criterion& criterion) {
    const QString name = QLatin1String(NameOf(criterion.field));
    if (criterion.IsText()) {
        // Texts made of printable ASCII are compared through the NOCASE index; anything else
        // goes to Unicode case folding, over the small index of such rows.
        const char* non_ascii = criterion.field == Field::RegName ? schema::kNonAsciiRegName
                                                                   : schema::kNonAsciiSystemUseText;
        return Cached(QStringLiteral(
                          "SELECT DogID FROM ("
                          " SELECT DogID FROM DogInfo WHERE %1 = ?1 COLLATE NOCASE AND DogID > ?2"
                          " UNION"
                          " SELECT DogID FROM DogInfo WHERE %2 AND length(%1) = length(?3)"
                          "  AND DogID > ?2 AND lineara_same_text(%1, ?3)"
                          ") ORDER BY DogID LIMIT 1")
                          .arg(name, QLatin1String(non_ascii)));
    }
    const char* op = criterion.op == Criterion::Op::Equal ? "=" : ">";
    return Cached(QStringLiteral("SELECT DogID FROM DogInfo WHERE %1 %2 ?1 AND DogID > ?2 "
                                 "ORDER BY DogID LIMIT 1")
                      .arg(name, QLatin1String(op)));
}

qint32 DogDatabase::FindNextId(const Criterion& criterion, qint32 after) {
    sqlite::Statement& find = FindStatement(criterion);
    if (criterion.IsText()) {
        // A row of printable ASCII folds to its lower case, so only a search text that folds
        // to printable ASCII can equal one.
        const QString folded = criterion.text.toCaseFolded();
        if (IsPrintableAscii(folded)) {
            find.BindText(1, folded.isNull() ? QStringLiteral("") : folded);
        } else {
            find.BindNull(1);
        }
        find.BindText(3, criterion.text.isNull() ? QStringLiteral("") : criterion.text);
    } else {
        find.BindInteger(1, criterion.number);
    }
    find.BindInteger(2, after);
    const qint32 found = find.Step() ? static_cast<qint32>(find.Integer(0)) : 0;
    find.Reset();
    return found;
}

std::optional<DogRecord> DogDatabase::ReadRow(qint32 dog_id) {
    sqlite::Statement& read =
        Cached(QStringLiteral("SELECT %1 FROM DogInfo WHERE DogID=?1").arg(schema::ColumnList()));
    read.BindInteger(1, dog_id);
    std::optional<DogRecord> record;
    if (read.Step()) {
        record.emplace();
        for (int i = 0; i < kFieldCount; ++i) {
            record->SetValue(FieldAt(i), ColumnValue(read, i, FieldAt(i)));
        }
    }
    read.Reset();
    return record;
}

qint64 DogDatabase::CountRows() {
    if (count_generation_ != generation_ || row_count_ < 0) {
        if (has_count_table_) {
            sqlite::Statement& count = Cached(QStringLiteral("SELECT Dogs FROM DogCount"));
            row_count_ = count.Step() ? count.Integer(0) : 0;
            count.Reset();
        } else {
            sqlite::Statement& count = Cached(QStringLiteral("SELECT count(*) FROM DogInfo"));
            count.Step();
            row_count_ = count.Integer(0);
            count.Reset();
        }
        count_generation_ = generation_;
    }
    return row_count_;
}

void DogDatabase::ReadIdRange() {
    if (range_generation_ != generation_) {
        // Each of these is one step down the table's own tree.
        sqlite::Statement& range = Cached(
            QStringLiteral("SELECT (SELECT min(DogID) FROM DogInfo), (SELECT max(DogID) FROM DogInfo)"));
        range.Step();
        min_id_ = static_cast<qint32>(range.Integer(0));
        max_id_ = static_cast<qint32>(range.Integer(1));
        range.Reset();
        range_generation_ = generation_;
    }
}

qint32 DogDatabase::MinId() {
    ReadIdRange();
    return min_id_;
}

qint32 DogDatabase::MaxId() {
    ReadIdRange();
    return max_id_;
}

DogDatabase::ReadTransaction::ReadTransaction(DogDatabase& database) : database_(database) {
    if (database_.transaction_depth_ == 0 && sqlite3_get_autocommit(database_.connection_.Handle()) != 0) {
        database_.connection_.Execute("BEGIN");
        open_ = true;
    }
}

DogDatabase::ReadTransaction::~ReadTransaction() {
    if (!open_) {
        return;
    }
    // The cursors' statements must let go of the read before it can end.
    for (RecordStore* cursor : database_.cursors_) {
        cursor->ReleaseRead();
    }
    try {
        database_.connection_.Execute("COMMIT");
    } catch (const sqlite::Error&) {
        // Nothing was written under this read, so giving it up loses nothing.
        try {
            database_.connection_.Execute("ROLLBACK");
        } catch (const sqlite::Error&) {
        }
    }
}

DogDatabase::Transaction::Transaction(DogDatabase& database)
    : database_(database), depth_(database.transaction_depth_) {
    database_.BeforeWrite();
    if (depth_ == 0) {
        database_.connection_.Execute("BEGIN IMMEDIATE");
    } else {
        database_.connection_.Execute(
            QStringLiteral("SAVEPOINT lineara_%1").arg(depth_).toUtf8().constData());
    }
    ++database_.transaction_depth_;
}

void DogDatabase::Transaction::Commit() {
    if (done_) {
        return;
    }
    database_.BeforeWrite();
    if (depth_ == 0) {
        database_.connection_.Execute("COMMIT");
    } else {
        database_.connection_.Execute(
            QStringLiteral("RELEASE lineara_%1").arg(depth_).toUtf8().constData());
    }
    done_ = true;
    --database_.transaction_depth_;
}

DogDatabase::Transaction::~Transaction() {
    if (done_) {
        return;
    }
    try {
        database_.BeforeWrite();
        if (depth_ == 0) {
            database_.connection_.Execute("ROLLBACK");
        } else {
            const QByteArray name = QStringLiteral("lineara_%1").arg(depth_).toUtf8();
            database_.connection_.Execute(("ROLLBACK TO " + name + "; RELEASE " + name).constData());
        }
    } catch (const sqlite::Error&) {
        // SQLite may already have rolled the transaction back itself (a full disk, an I/O
        // error); there is nothing left to undo then.
    }
    --database_.transaction_depth_;
}

}  // namespace lineara
