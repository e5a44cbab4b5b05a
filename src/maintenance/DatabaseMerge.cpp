#include "maintenance/DatabaseMerge.h"

#include "maintenance/DuplicateKey.h"
#include "maintenance/RecordFold.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace lineara {

namespace {

// The clean-up rewrites every page of the file in one transaction. With SQLite's small default
// page cache the changed pages spill to the file part-way (each spill syncing the journal) and
// are read back again; a cache that holds a whole kennel's file avoids that. Each statement of
// the long transaction also keeps the old contents of the pages it changes in a statement
// journal, which SQLite writes to a temporary file unless temporary storage is in memory.
// Memory is taken only as pages are used, and the usual settings come back afterwards.
class BulkWorkSettings {
public:
    explicit BulkWorkSettings(sqlite::Connection& connection)
        : connection_(connection),
          cache_size_(connection.QueryInteger("PRAGMA cache_size")),
          temp_store_(connection.QueryInteger("PRAGMA temp_store")) {
        try {
            connection_.Execute("PRAGMA cache_size = -524288");  // in KiB: 512 MiB at most
            connection_.Execute("PRAGMA temp_store = MEMORY");
        } catch (const sqlite::Error&) {
            // Slower, not wrong.
        }
    }
    ~BulkWorkSettings() {
        try {
            connection_.Execute(QStringLiteral("PRAGMA cache_size = %1; PRAGMA temp_store = %2")
                                    .arg(cache_size_)
                                    .arg(temp_store_)
                                    .toUtf8()
                                    .constData());
        } catch (...) {
            // Only a matter of speed for what follows.
        }
    }
    BulkWorkSettings(const BulkWorkSettings&) = delete;
    BulkWorkSettings& operator=(const BulkWorkSettings&) = delete;

private:
    sqlite::Connection& connection_;
    qint64 cache_size_;
    qint64 temp_store_;
};

const QString kCr = QStringLiteral("\r");

QString Working() {
    return QStringLiteral("Working ... please be patient") + kCr + kCr;
}

// Nearest whole number, an exact half going to the even neighbour.
qint64 RoundHalfEven(double value) {
    return static_cast<qint64>(std::nearbyint(value));
}

// " 42% complete" after the pass title and number.
QString PassText(const QString& title, const QString& number, qint64 index, qint64 count) {
    const double percent =
        count > 0 ? 100.0 * static_cast<double>(index) / static_cast<double>(count) : 0.0;
    return Working() + title + kCr + number + kCr + kCr + QLatin1Char(' ') +
           QString::number(RoundHalfEven(percent)) + QStringLiteral("% complete");
}

// A fraction written as "###.0%": no digits before the point for less than 1 %.
QString PercentOneDecimal(qint64 permille) {
    const qint64 whole = permille / 10;
    return (whole > 0 ? QString::number(whole) : QString()) + QLatin1Char('.') +
           QString::number(permille % 10) + QLatin1Char('%');
}

class Runner {
public:
    Runner(DogDatabase& database, MaintenanceHooks& hooks) : db_(database), hooks_(hooks) {}

    void CopyPasses(const QString& other_path);
    void CleanUp();
    const MaintenanceCounts& Counts() const { return counts_; }

private:
    struct Entry {
        qint32 id;
        int group;     // index into groups_, -1 for the empty key
        int position;  // place in its group
        QString folded;  // registered name, trimmed and case folded
    };

    void Say(const QString& text) {
        if (hooks_.progress && text != shown_) {
            shown_ = text;
            hooks_.progress->SetText(text);
        }
    }
    void Fraction(qint64 index, qint64 count) {
        if (hooks_.progress && count > 0) {
            hooks_.progress->SetFraction(static_cast<double>(index) / static_cast<double>(count));
        }
    }
    void Step() {
        if (hooks_.fail_after) {
            hooks_.fail_after->Step();
        }
    }
    void Repaint() {
        if (hooks_.repaint) {
            hooks_.repaint();
        }
    }
    Prompts::Answer Ask(const QString& title, const QString& text, Prompts::Buttons buttons) {
        const Prompts::Answer answer = hooks_.prompts->Message(title, text, buttons);
        Repaint();
        return answer;
    }
    sqlite::Statement& Prepared(std::optional<sqlite::Statement>& slot, const char* sql) {
        if (!slot) {
            slot.emplace(db_.Connection(), sql);
        }
        return *slot;
    }
    DogRecord Read(qint32 id) {
        std::optional<DogRecord> record = db_.ReadRow(id);
        if (!record) {
            db_.Fail(QStringLiteral("A dog being compared is no longer in the database."));
        }
        return *record;
    }
    void CopyRows(sqlite::Statement& rows, const std::vector<std::optional<Field>>& columns,
                  int id_column, qint64 count, const QString& other_path,
                  QHash<qint32, qint32>& copies);
    void Keys();
    bool MergeTwoRecords(qint32& first, qint32& second, QString& first_description,
                         QString& second_description, bool interactive);
    void Mark(qint32 id);

    DogDatabase& db_;
    MaintenanceHooks& hooks_;
    MaintenanceCounts counts_;
    QString shown_;
    std::vector<Entry> entries_;
    std::vector<std::vector<std::size_t>> groups_;  // indexes into entries_, in DogID order
    std::vector<char> marked_;
    std::optional<sqlite::Statement> mark_;
    // Pairs compared and left apart. A record kept in a merge is compared again when its own
    // turn comes, and must not be asked about a pair already answered.
    QSet<quint64> left_apart_;
};

quint64 PairKey(qint32 a, qint32 b) {
    const auto [low, high] = std::minmax(a, b);
    return (static_cast<quint64>(static_cast<quint32>(low)) << 32) | static_cast<quint32>(high);
}

// The other database of a merge, opened for reading only: a file that is not ours, is damaged
// or is newer is refused with the reason, and nothing in it ever changes.
sqlite::Connection OpenOther(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        throw StoreError(path, QStringLiteral("The file does not exist."));
    }
    try {
        sqlite::Connection connection(path, SQLITE_OPEN_READONLY);
        if (static_cast<quint32>(connection.QueryInteger("PRAGMA application_id")) !=
            schema::kApplicationId) {
            throw StoreError(path, QStringLiteral("It is not a LINEARA database."));
        }
        if (connection.QueryInteger("PRAGMA user_version") > schema::kSchemaVersion) {
            throw StoreError(path, QStringLiteral("It was made by a newer version of LINEARA."));
        }
        return connection;
    } catch (const sqlite::Error& error) {
        throw StoreError(path, QStringLiteral("It cannot be read as a LINEARA database (%1).")
                                   .arg(QString::fromUtf8(error.what())));
    }
}

void Runner::CopyPasses(const QString& other_path) {
    // Pass 1: nothing in the current database counts as a copy.
    Say(PassText(QStringLiteral("Preparing to Add Records"), QStringLiteral("(Pass 1/3)"), 0, 1));
    db_.BeforeWrite();
    db_.Connection().Execute("UPDATE DogInfo SET SystemUseLongInt=0 WHERE SystemUseLongInt<>0");
    Step();

    // Pass 2: a copy of every dog of the other file, remembering its old number.
    QHash<qint32, qint32> copies;  // old DogID -> new DogID
    const QFileInfo other_info(other_path);
    const bool same_file =
        other_info.canonicalFilePath() == QFileInfo(db_.Path()).canonicalFilePath();
    const char* select = "SELECT * FROM DogInfo WHERE DogID <= ?1 ORDER BY DogID";
    auto columns_of = [&](sqlite::Statement& rows, int& id_column) {
        std::vector<std::optional<Field>> columns(static_cast<std::size_t>(rows.ColumnCount()));
        id_column = -1;
        for (int c = 0; c < rows.ColumnCount(); ++c) {
            columns[static_cast<std::size_t>(c)] = FieldByName(rows.ColumnName(c));
            if (columns[static_cast<std::size_t>(c)] == Field::DogID) {
                id_column = c;
            }
        }
        return columns;
    };
    if (same_file) {
        // Merging a file into itself copies the dogs it held before the copying began, read
        // through the one connection, so nothing half-copied is ever read back.
        const qint32 last = db_.MaxId();
        const qint64 count = db_.CountRows();
        sqlite::Statement rows(db_.Connection(), select);
        rows.BindInteger(1, last);
        int id_column = -1;
        const auto columns = columns_of(rows, id_column);
        CopyRows(rows, columns, id_column, count, other_path, copies);
    } else {
        sqlite::Connection other = OpenOther(other_path);
        try {
            other.Execute("BEGIN");
            const qint64 count = other.QueryInteger("SELECT count(*) FROM DogInfo");
            sqlite::Statement rows(other, select);
            rows.BindInteger(1, std::numeric_limits<qint32>::max());
            int id_column = -1;
            const auto columns = columns_of(rows, id_column);
            if (id_column < 0) {
                throw StoreError(
                    other_path,
                    QStringLiteral("It is not a LINEARA database (its dogs have no DogID)."));
            }
            CopyRows(rows, columns, id_column, count, other_path, copies);
        } catch (const sqlite::Error& error) {
            throw StoreError(other_path,
                             QStringLiteral("It cannot be read as a LINEARA database (%1).")
                                 .arg(QString::fromUtf8(error.what())));
        }
    }

    // Pass 3: the copies' parents, from the other file's numbers to the copies' numbers.
    std::vector<std::pair<qint32, qint32>> copied;  // new DogID, old DogID
    copied.reserve(static_cast<std::size_t>(copies.size()));
    for (auto it = copies.cbegin(); it != copies.cend(); ++it) {
        copied.emplace_back(it.value(), it.key());
    }
    std::sort(copied.begin(), copied.end());
    sqlite::Statement parents(db_.Connection(), "SELECT SireID, DamID FROM DogInfo WHERE DogID=?1");
    sqlite::Statement repoint(db_.Connection(),
                              "UPDATE DogInfo SET SireID=?1, DamID=?2 WHERE DogID=?3");
    auto renumber = [&](qint64 old_id) -> qint64 {
        if (old_id == 0) {
            return 0;
        }
        const auto it = copies.constFind(static_cast<qint32>(old_id));
        return it == copies.constEnd() ? 0 : it.value();
    };
    const qint64 total = static_cast<qint64>(copied.size());
    for (qint64 k = 0; k < total; ++k) {
        Say(PassText(QStringLiteral("Resolving Sire and Dam Information"),
                     QStringLiteral("(Pass 3/3)"), k, total));
        Fraction(k, total);
        const qint32 id = copied[static_cast<std::size_t>(k)].first;
        parents.BindInteger(1, id);
        parents.Step();
        const qint64 sire = parents.Integer(0);
        const qint64 dam = parents.Integer(1);
        parents.Reset();
        const qint64 new_sire = renumber(sire);
        const qint64 new_dam = renumber(dam);
        if (new_sire != sire || new_dam != dam) {
            db_.BeforeWrite();
            repoint.BindInteger(1, new_sire);
            repoint.BindInteger(2, new_dam);
            repoint.BindInteger(3, id);
            repoint.Step();
            repoint.Reset();
        }
        Step();
    }
}

void Runner::CopyRows(sqlite::Statement& rows, const std::vector<std::optional<Field>>& columns,
                      int id_column, qint64 count, const QString& other_path,
                      QHash<qint32, qint32>& copies) {
    qint64 index = 0;
    while (rows.Step()) {
        Say(PassText(QStringLiteral("Adding Records"), QStringLiteral("(Pass 2/3)"), index, count));
        Fraction(index, count);
        DogRecord copy;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (columns[c] && *columns[c] != Field::DogID) {
                copy.SetValue(*columns[c], ColumnValue(rows, static_cast<int>(c), *columns[c]));
            }
        }
        const qint64 old_id = rows.Integer(id_column);
        if (old_id <= 0 || old_id > std::numeric_limits<qint32>::max() ||
            copies.contains(static_cast<qint32>(old_id))) {
            throw StoreError(
                other_path,
                QStringLiteral("The file is damaged (a dog has an impossible number)."));
        }
        copy.SetValue(Field::SystemUseLongInt, static_cast<qint32>(old_id));
        copies.insert(static_cast<qint32>(old_id), db_.InsertRow(copy));
        ++counts_.added;
        ++index;
        Step();
    }
    rows.Reset();
}

void Runner::Keys() {
    std::vector<std::pair<qint32, QString>> keys;
    std::vector<QString> folded_names;
    {
        sqlite::Statement rows(db_.Connection(),
                               "SELECT DogID, RegName, SystemUseText FROM DogInfo ORDER BY DogID");
        std::vector<char> unchanged;
        while (rows.Step()) {
            const QVariant name = rows.IsNull(1) ? QVariant() : QVariant(rows.Text(1));
            QString key = DuplicateKey(name);
            const bool same =
                key.isEmpty() ? rows.IsNull(2) : (!rows.IsNull(2) && rows.Text(2) == key);
            folded_names.push_back(key.isEmpty() ? QString() : TrimBlanks(name.toString()).toCaseFolded());
            keys.emplace_back(static_cast<qint32>(rows.Integer(0)), std::move(key));
            unchanged.push_back(same ? 1 : 0);
        }
        rows.Reset();
        // Keys already in place need no writing; the file ends up the same either way.
        sqlite::Statement store(db_.Connection(),
                                "UPDATE DogInfo SET SystemUseText=?1 WHERE DogID=?2");
        const qint64 count = static_cast<qint64>(keys.size());
        db_.BeforeWrite();
        for (qint64 i = 0; i < count; ++i) {
            Say(Working() + QStringLiteral("Preparing to look for apparent duplicates") + kCr +
                kCr + QStringLiteral("Percent complete:  ") +
                QString::number(
                    RoundHalfEven(100.0 * static_cast<double>(i) / static_cast<double>(count))) +
                QLatin1Char('%'));
            Fraction(i, count);
            const auto& [id, key] = keys[static_cast<std::size_t>(i)];
            if (!unchanged[static_cast<std::size_t>(i)]) {
                if (key.isEmpty()) {
                    store.BindNull(1);
                } else {
                    store.BindText(1, key);
                }
                store.BindInteger(2, id);
                store.Step();
                store.Reset();
            }
            Step();
        }
    }
    // The search compares each dog only with the later dogs of the same key, so the dogs are
    // grouped by key once here, in DogID order.
    QHash<QString, int> group_of;
    entries_.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto& [id, key] = keys[i];
        int group = -1;
        int position = 0;
        if (!key.isEmpty()) {
            const auto it = group_of.constFind(key);
            if (it == group_of.constEnd()) {
                group = static_cast<int>(groups_.size());
                group_of.insert(key, group);
                groups_.emplace_back();
            } else {
                group = it.value();
            }
            auto& members = groups_[static_cast<std::size_t>(group)];
            position = static_cast<int>(members.size());
            members.push_back(entries_.size());
        }
        entries_.push_back({id, group, position, std::move(folded_names[i])});
    }
    marked_.assign(entries_.size(), 0);
}

void Runner::Mark(qint32 id) {
    const auto it =
        std::lower_bound(entries_.begin(), entries_.end(), id,
                         [](const Entry& entry, qint32 wanted) { return entry.id < wanted; });
    if (it != entries_.end() && it->id == id) {
        marked_[static_cast<std::size_t>(it - entries_.begin())] = 1;
    }
    sqlite::Statement& mark =
        Prepared(mark_, "UPDATE DogInfo SET SystemUseLongInt=1 WHERE DogID=?1");
    db_.BeforeWrite();
    mark.BindInteger(1, id);
    mark.Step();
    mark.Reset();
}

bool Runner::MergeTwoRecords(qint32& first, qint32& second, QString& first_description,
                             QString& second_description, bool interactive) {
    const bool identical = first_description == second_description;
    if (!identical) {
        if (first_description.size() < second_description.size()) {
            std::swap(first, second);
            std::swap(first_description, second_description);
        }
        if (interactive) {
            const Prompts::Answer answer =
                Ask(QStringLiteral("Choose Record to Keep"),
                    QStringLiteral("Keep the first of these two entries, and delete the second?") +
                        kCr + kCr + first_description + kCr + kCr + second_description + kCr,
                    Prompts::Buttons::YesNoCancel);
            if (answer == Prompts::Answer::Cancel) {
                return false;
            }
            if (answer == Prompts::Answer::No) {
                std::swap(first, second);
                std::swap(first_description, second_description);
            }
        }
    }
    const DogRecord kept = Read(first);
    const DogRecord other = Read(second);
    const DogRecord folded = FoldRecords(kept, other);
    DogDatabase::FieldMask changed;
    for (int i = 1; i < kFieldCount; ++i) {
        if (folded.Value(FieldAt(i)) != kept.Value(FieldAt(i))) {
            changed.set(static_cast<std::size_t>(i));
        }
    }
    db_.UpdateRow(first, folded, changed);
    db_.ReplaceNumber(Field::SireID, second, first);
    db_.ReplaceNumber(Field::DamID, second, first);
    Mark(second);
    ++counts_.merged;
    Step();
    if (interactive && identical) {
        hooks_.prompts->Message(
            QStringLiteral("Two records merged"),
            QStringLiteral("Two idential records have been merged.  You are about to be "
                           "shown the merged record.  Please make any required edits."));
        if (hooks_.show_merged) {
            hooks_.show_merged(first);
        }
        Repaint();
        // The editor wrote through its own cursor.
        db_.BeforeWrite();
    }
    return true;
}

void Runner::CleanUp() {
    Keys();
    db_.BeforeWrite();
    db_.Connection().Execute("UPDATE DogInfo SET SystemUseLongInt=0 WHERE SystemUseLongInt<>0");
    bool interactive = false;
    if (hooks_.prompts) {
        interactive = Ask(QStringLiteral("Eliminate Duplicates: Interactive?"),
                          QStringLiteral("Possible duplicate entries will now be analyzed.  You "
                                         "may keep full control of all "
                                         "changes/deletions/etc. (click Yes) or let the computer "
                                         "decide (click No).  Clicking "
                                         "Yes is highly reccomended.  It will take longer, but you "
                                         "can probably make better "
                                         "decisions than the computer."),
                          Prompts::Buttons::YesNo) == Prompts::Answer::Yes;
    }
    const qint64 count = static_cast<qint64>(entries_.size());
    for (qint64 a = 0; a < count; ++a) {
        const qint64 permille =
            RoundHalfEven(1000.0 * static_cast<double>(a) / static_cast<double>(count));
        Say(Working() + QStringLiteral("Resolving apparent duplications") + kCr + kCr +
            QStringLiteral("Percent complete: ") + PercentOneDecimal(permille));
        Fraction(a, count);
        const Entry entry = entries_[static_cast<std::size_t>(a)];
        if (marked_[static_cast<std::size_t>(a)] || entry.group < 0) {
            continue;
        }
        const std::vector<std::size_t>& members = groups_[static_cast<std::size_t>(entry.group)];
        if (members.size() < 2 || entry.position + 1 >= static_cast<int>(members.size())) {
            continue;
        }
        qint32 current = entry.id;
        const DogRecord record_a = Read(current);
        const QString name_a = TrimBlanks(record_a.Text(Field::RegName)).toCaseFolded();
        QString description = DuplicateDescription(db_, record_a);
        for (std::size_t p = static_cast<std::size_t>(entry.position) + 1; p < members.size();
             ++p) {
            const Entry& b = entries_[members[p]];
            qint32 other = b.id;
            if (marked_[members[p]]) {
                continue;
            }
            // Without questions only a name equal to A's, letter case aside, folds a pair (equal
            // descriptions mean equal names within a key: a name that reads like another dog's
            // description holds the B of "by" or the T and F of "out of", and so has another
            // key). Any other B is left apart without reading it; a key shared by thousands of
            // numbered dogs ("Cow 1", "Cow 2", ...) would otherwise mean millions of reads.
            if (!interactive && b.folded != name_a) {
                continue;
            }
            if (left_apart_.contains(PairKey(current, other))) {
                continue;
            }
            const DogRecord record_b = Read(other);
            bool merged = false;
            QString other_description = DuplicateDescription(db_, record_b);
            if (description == other_description) {
                merged =
                    MergeTwoRecords(current, other, description, other_description, interactive);
            } else if (TrimBlanks(record_b.Text(Field::RegName)).toCaseFolded() == name_a) {
                const bool merge =
                    !interactive ||
                    Ask(QStringLiteral("Same Name"),
                        QStringLiteral(
                            "The following two matching names were found.  Delete one duplicate?") +
                            kCr + kCr + description + kCr + kCr + other_description + kCr,
                        Prompts::Buttons::YesNo) == Prompts::Answer::Yes;
                if (merge) {
                    merged = MergeTwoRecords(current, other, description, other_description,
                                             interactive);
                }
            } else if (interactive &&
                       Ask(QStringLiteral("Similar Name"),
                           QStringLiteral("Do the following two names refer to the same dog?") +
                               kCr + kCr + description + kCr + kCr + other_description + kCr + kCr +
                               QStringLiteral("(If you are unsure, choose No)"),
                           Prompts::Buttons::YesNo) == Prompts::Answer::Yes) {
                merged =
                    MergeTwoRecords(current, other, description, other_description, interactive);
            }
            if (!merged) {
                left_apart_.insert(PairKey(current, other));
            }
        }
    }
    // The records folded into others go all at once.
    Step();
    db_.BeforeWrite();
    sqlite::Statement remove(db_.Connection(), "DELETE FROM DogInfo WHERE SystemUseLongInt=1");
    remove.Step();
    remove.Reset();
    counts_.deleted = db_.Connection().Changes();
    db_.BeforeWrite();
}

}  // namespace

QString CompletionText(bool merging) {
    return merging ? QStringLiteral("Merge Complete") : QStringLiteral("Clean-up Complete");
}

MaintenanceCounts RunMergeDriver(DogDatabase& current, const QString& merge_source_path,
                                 MaintenanceHooks& hooks) {
    Runner runner(current, hooks);
    try {
        const BulkWorkSettings settings(current.Connection());
        DogDatabase::Transaction transaction(current);
        const QString source = merge_source_path.trimmed();
        if (!source.isEmpty()) {
            runner.CopyPasses(source);
        }
        runner.CleanUp();
        transaction.Commit();
    } catch (const sqlite::Error& error) {
        throw StoreError(current.Path(),
                         QStringLiteral("The database could not be changed, and was left as it "
                                        "was (%1).")
                             .arg(QString::fromUtf8(error.what())));
    }
    if (hooks.progress) {
        hooks.progress->SetText(CompletionText(!merge_source_path.trimmed().isEmpty()));
    }
    return runner.Counts();
}

}  // namespace lineara
