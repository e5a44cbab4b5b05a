#include "exchange/DogCsvExport.h"

#include "exchange/CsvReader.h"
#include "exchange/CsvText.h"
#include "store/DogDatabase.h"
#include "store/DogSchema.h"

#include <QSaveFile>
#include <QSet>

#include <sqlite3.h>

#include <charconv>
#include <vector>

namespace lineara {

namespace {

bool IsScratch(Field field) {
    return field == Field::SystemUseLongInt || field == Field::SystemUseText;
}

std::vector<Field> ExportedFields() {
    std::vector<Field> fields;
    for (int i = 0; i < kFieldCount; ++i) {
        if (!IsScratch(FieldAt(i))) {
            fields.push_back(FieldAt(i));
        }
    }
    return fields;
}

// The dogs of an ancestry export: the root first, then each generation of ancestors, every
// dog once.
std::vector<qint32> AncestryIds(DogDatabase& database, qint32 root, int generations) {
    sqlite::Statement parents(database.Connection(),
                              "SELECT SireID, DamID FROM DogInfo WHERE DogID=?1");
    std::vector<qint32> order;
    QSet<qint32> seen;
    std::vector<qint32> level{root};
    seen.insert(root);
    for (int g = 0; g <= generations && !level.empty(); ++g) {
        std::vector<qint32> next;
        for (const qint32 id : level) {
            parents.BindInteger(1, id);
            if (!parents.Step()) {
                parents.Reset();
                if (id == root) {
                    database.Fail(QStringLiteral("There is no dog number %1.").arg(root));
                }
                continue;  // a parent number that names no dog
            }
            order.push_back(id);
            const qint32 sire = static_cast<qint32>(parents.Integer(0));
            const qint32 dam = static_cast<qint32>(parents.Integer(1));
            parents.Reset();
            if (g == generations) {
                continue;
            }
            for (const qint32 parent : {sire, dam}) {
                if (parent > 0 && !seen.contains(parent)) {
                    seen.insert(parent);
                    next.push_back(parent);
                }
            }
        }
        level = std::move(next);
    }
    return order;
}

// The export reads SQLite's column bytes directly: the texts are UTF-8 already.
struct RawStatement {
    RawStatement(DogDatabase& database, const QString& sql)
        : RawStatement(database, database.Connection(), sql) {}
    RawStatement(DogDatabase& database, sqlite::Connection& connection, const QString& sql) {
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(connection.Handle(), utf8.constData(), -1, &stmt, nullptr) !=
            SQLITE_OK) {
            database.Fail(connection.LastMessage());
        }
    }
    ~RawStatement() { sqlite3_finalize(stmt); }
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;
    sqlite3_stmt* stmt = nullptr;
};

class RowWriter {
public:
    explicit RowWriter(const std::vector<Field>& fields) : fields_(fields) {}

    // Appends the current row of a statement whose columns are the exported fields, then the
    // two parent names.
    void Append(sqlite3_stmt* row, QByteArray& out) const {
        const int count = static_cast<int>(fields_.size());
        for (int c = 0; c < count + 2; ++c) {
            if (c > 0) {
                out.append(',');
            }
            const int type = sqlite3_column_type(row, c);
            const FieldKind kind =
                c < count ? KindOf(fields_[static_cast<std::size_t>(c)]) : FieldKind::Text;
            switch (kind) {
                case FieldKind::YesNo:
                    out.append(type != SQLITE_NULL && sqlite3_column_int64(row, c) != 0 ? 'Y'
                                                                                        : 'N');
                    break;
                case FieldKind::Long:
                    if (type != SQLITE_NULL) {
                        char digits[24];
                        const auto end = std::to_chars(digits, digits + sizeof digits,
                                                       sqlite3_column_int64(row, c));
                        out.append(digits, end.ptr - digits);
                    }
                    break;
                case FieldKind::Double:
                    if (type != SQLITE_NULL) {
                        // The shortest digits that read back as the same double.
                        char digits[32];
                        const auto end = std::to_chars(digits, digits + sizeof digits,
                                                       sqlite3_column_double(row, c));
                        out.append(digits, end.ptr - digits);
                    }
                    break;
                case FieldKind::Date:
                case FieldKind::Text:
                case FieldKind::Memo:
                    if (type != SQLITE_NULL) {
                        const auto* text =
                            reinterpret_cast<const char*>(sqlite3_column_text(row, c));
                        const int size = sqlite3_column_bytes(row, c);
                        AppendCsvField(out, text, size, kind != FieldKind::Date);
                    }
                    break;
            }
        }
        out.append("\r\n", 2);
    }

private:
    const std::vector<Field>& fields_;
};

}  // namespace

QStringList DogCsvHeader() {
    QStringList header;
    for (const Field field : ExportedFields()) {
        header << QLatin1String(NameOf(field));
    }
    header << QStringLiteral("SireName") << QStringLiteral("DamName");
    return header;
}

qint64 ExportDogsCsv(DogDatabase& database, const QString& path, qint32 root_dog_id,
                     int generations, Progress* progress) {
    const std::vector<Field> fields = ExportedFields();
    QString columns;
    for (const Field field : fields) {
        columns += (columns.isEmpty() ? QString() : QStringLiteral(",")) + QStringLiteral("d.") +
                   QLatin1String(NameOf(field));
    }
    const QString select = QStringLiteral(
                               "SELECT %1, s.RegName, m.RegName FROM DogInfo d "
                               "LEFT JOIN DogInfo s ON s.DogID=d.SireID AND d.SireID>0 "
                               "LEFT JOIN DogInfo m ON m.DogID=d.DamID AND d.DamID>0 ")
                               .arg(columns);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw CsvError(path,
                       QStringLiteral("The file cannot be written (%1).").arg(file.errorString()));
    }
    QByteArray out;
    out.reserve(1 << 21);
    {
        const QStringList header = DogCsvHeader();
        out.append(header.join(QLatin1Char(',')).toLatin1());
        out.append("\r\n", 2);
    }
    auto flush = [&](bool force) {
        if (out.size() >= (1 << 20) || force) {
            if (file.write(out) != out.size()) {
                const QString reason = file.errorString();
                file.cancelWriting();
                throw CsvError(path,
                               QStringLiteral("The file cannot be written (%1).").arg(reason));
            }
            out.clear();
        }
    };

    const RowWriter writer(fields);
    qint64 written = 0;
    DogDatabase::ReadTransaction read(database);
    if (root_dog_id > 0) {
        const std::vector<qint32> ids = AncestryIds(database, root_dog_id, generations);
        RawStatement row(database, select + QStringLiteral("WHERE d.DogID=?1"));
        for (const qint32 id : ids) {
            sqlite3_bind_int64(row.stmt, 1, id);
            if (sqlite3_step(row.stmt) == SQLITE_ROW) {
                writer.Append(row.stmt, out);
                ++written;
            }
            sqlite3_reset(row.stmt);
            flush(false);
        }
    } else {
        const qint64 total = database.CountRows();
        // The whole table is read through a connection of its own, opened for this one
        // thread and reading the file through a memory map: the shared connection locks
        // itself for every column read and copies every page through a system call, a
        // fifth of the time of a million-dog export. A second connection sees only what is
        // committed, so while the shared connection is in the middle of writing, it reads.
        const bool writing =
            sqlite3_txn_state(database.Connection().Handle(), "main") == SQLITE_TXN_WRITE;
        sqlite::Connection reader;
        if (!writing) {
            try {
                reader = sqlite::Connection(database.Path(),
                                            SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
                sqlite3_busy_timeout(reader.Handle(), 2000);
                reader.Execute("PRAGMA mmap_size = 1073741824");
                reader.Execute("BEGIN");
            } catch (const sqlite::Error& error) {
                database.Fail(QString::fromStdString(error.what()));
            }
        }
        sqlite::Connection& source = writing ? database.Connection() : reader;
        RawStatement rows(database, source, select + QStringLiteral("ORDER BY d.DogID"));
        int rc = SQLITE_OK;
        while ((rc = sqlite3_step(rows.stmt)) == SQLITE_ROW) {
            writer.Append(rows.stmt, out);
            ++written;
            if (progress && (written & 0xFFFF) == 0 && total > 0) {
                progress->SetFraction(static_cast<double>(written) / static_cast<double>(total));
            }
            flush(false);
        }
        if (rc != SQLITE_DONE) {
            file.cancelWriting();
            database.Fail(source.LastMessage());
        }
    }
    flush(true);
    if (!file.commit()) {
        throw CsvError(path,
                       QStringLiteral("The file cannot be written (%1).").arg(file.errorString()));
    }
    return written;
}

}  // namespace lineara
