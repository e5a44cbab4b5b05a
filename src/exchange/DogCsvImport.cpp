#include "exchange/DogCsvImport.h"

#include "exchange/CsvReader.h"
#include "exchange/CsvText.h"
#include "records/DateOfBirth.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

#include <QLocale>

#include <optional>

namespace lineara {

namespace {

// "Date of birth" and "date_of_birth" both read "dateofbirth".
QString Normalised(const QString& heading) {
    QString out;
    for (const QChar c : heading) {
        if (c.isLetterOrNumber()) {
            out += c.toCaseFolded();
        }
    }
    return out;
}

const QHash<QString, int>& Synonyms() {
    static const QHash<QString, int> synonyms{
        {QStringLiteral("name"), IndexOf(Field::RegName)},
        {QStringLiteral("registeredname"), IndexOf(Field::RegName)},
        {QStringLiteral("dog"), IndexOf(Field::RegName)},
        {QStringLiteral("id"), IndexOf(Field::DogID)},
        {QStringLiteral("sire"), kSireNameTarget},
        {QStringLiteral("father"), kSireNameTarget},
        {QStringLiteral("dam"), kDamNameTarget},
        {QStringLiteral("mother"), kDamNameTarget},
        {QStringLiteral("sex"), IndexOf(Field::SexMale)},
        {QStringLiteral("gender"), IndexOf(Field::SexMale)},
        {QStringLiteral("born"), IndexOf(Field::DOB)},
        {QStringLiteral("dateofbirth"), IndexOf(Field::DOB)},
        {QStringLiteral("birthdate"), IndexOf(Field::DOB)},
        {QStringLiteral("birthday"), IndexOf(Field::DOB)},
        {QStringLiteral("whelped"), IndexOf(Field::DOB)},
        {QStringLiteral("call"), IndexOf(Field::CallName)},
        {QStringLiteral("registration"), IndexOf(Field::OtherID)},
        {QStringLiteral("registrationnumber"), IndexOf(Field::OtherID)},
        {QStringLiteral("regno"), IndexOf(Field::OtherID)},
        {QStringLiteral("akc"), IndexOf(Field::AKCID)},
        {QStringLiteral("ckc"), IndexOf(Field::CKCID)},
        {QStringLiteral("microchip"), IndexOf(Field::MicrochipID)},
        {QStringLiteral("chip"), IndexOf(Field::MicrochipID)},
        {QStringLiteral("tattoo"), IndexOf(Field::TattooID)},
        {QStringLiteral("titles"), IndexOf(Field::OtherPostTitles)},
        {QStringLiteral("posttitles"), IndexOf(Field::OtherPostTitles)},
        {QStringLiteral("pretitles"), IndexOf(Field::OtherPreTitles)},
        {QStringLiteral("colour"), IndexOf(Field::Description)},
        {QStringLiteral("color"), IndexOf(Field::Description)},
        {QStringLiteral("notes"), IndexOf(Field::Comments)},
        {QStringLiteral("sirename"), kSireNameTarget},
        {QStringLiteral("damname"), kDamNameTarget},
    };
    return synonyms;
}

std::optional<bool> ParseYesNo(const QString& text, bool sex) {
    const QString t = text.trimmed().toCaseFolded();
    if (t.isEmpty()) {
        return false;
    }
    static const QStringList yes{QStringLiteral("y"), QStringLiteral("yes"), QStringLiteral("true"),
                                 QStringLiteral("1"), QStringLiteral("-1")};
    static const QStringList no{QStringLiteral("n"), QStringLiteral("no"), QStringLiteral("false"),
                                QStringLiteral("0")};
    static const QStringList male{QStringLiteral("m"), QStringLiteral("male"),
                                  QStringLiteral("dog")};
    static const QStringList female{QStringLiteral("f"), QStringLiteral("female"),
                                    QStringLiteral("bitch")};
    if (yes.contains(t) || (sex ? male.contains(t) : t == QLatin1String("x"))) {
        return true;
    }
    if (no.contains(t) || (sex && female.contains(t))) {
        return false;
    }
    return std::nullopt;
}

// A parent as the file gives it: a number of a row in the file and/or a registered name.
struct ParentRef {
    qint64 file_id = 0;
    QString name;
};

struct RowLinks {
    qint64 row = 0;
    qint32 new_id = 0;
    ParentRef sire;
    ParentRef dam;
};

// Keeps SQLite's statement and savepoint journals in memory while the import runs, and puts
// the setting back afterwards. With them in temporary files, every insert (its triggers fill
// the name index) and the clean-up inside its savepoint wrote the journal pages out again and
// again: 1.8 million writes for 100,000 rows. Only the main journal, which stays on disk, is
// needed to recover from a crash, so this changes nothing about safety or results. SQLite
// refuses the change inside an open transaction; the import then runs with the setting as it is.
class TempStoreInMemory {
public:
    explicit TempStoreInMemory(sqlite::Connection& connection) : connection_(connection) {
        try {
            previous_ = connection_.QueryInteger("PRAGMA temp_store");
            connection_.Execute("PRAGMA temp_store = MEMORY");
            changed_ = true;
        } catch (const sqlite::Error&) {
        }
    }
    ~TempStoreInMemory() {
        if (changed_) {
            try {
                connection_.Execute(QStringLiteral("PRAGMA temp_store = %1").arg(previous_).toUtf8().constData());
            } catch (const sqlite::Error&) {
            }
        }
    }
    TempStoreInMemory(const TempStoreInMemory&) = delete;
    TempStoreInMemory& operator=(const TempStoreInMemory&) = delete;

private:
    sqlite::Connection& connection_;
    qint64 previous_ = 0;
    bool changed_ = false;
};

// The trigram index of registered names, set aside while many dogs are added and built again
// once afterwards, inside the import's transaction: keeping it up to date one dog at a time
// costs most of a large import. A rollback (a failure, a kill, a dry run) brings back the
// index and its triggers with everything else. Rebuilding covers every dog of the database,
// so the index is only set aside once the import has added as many dogs as the database held
// before it began; small imports into a large database keep it up to date as they go.
class NameIndexPause {
public:
    explicit NameIndexPause(sqlite::Connection& connection) : connection_(connection) {}

    bool Paused() const { return paused_; }

    // Drops the index and its triggers, all or nothing. SQLite refuses to drop a table while
    // a statement of the connection is reading; the import then keeps the index as it goes.
    void Pause() {
        if (paused_) {
            return;
        }
        connection_.Execute("SAVEPOINT lineara_name_index");
        try {
            connection_.Execute(schema::DropNameIndexStatements().toUtf8().constData());
            connection_.Execute("RELEASE lineara_name_index");
            paused_ = true;
        } catch (const sqlite::Error&) {
            connection_.Execute("ROLLBACK TO lineara_name_index");
            connection_.Execute("RELEASE lineara_name_index");
        }
    }

    // Makes the index and its triggers again and fills it from every dog.
    void Resume() {
        if (!paused_) {
            return;
        }
        connection_.Execute(schema::NameIndexStatements().toUtf8().constData());
        connection_.Execute(schema::kRebuildNameIndex);
        paused_ = false;
    }

private:
    sqlite::Connection& connection_;
    bool paused_ = false;
};

class Importer {
public:
    Importer(DogDatabase& database, const QString& path, const CsvImportOptions& options,
             MaintenanceHooks& hooks)
        : db_(database), path_(path), options_(options), hooks_(hooks) {}

    CsvImportResult Run();

private:
    void Problem(qint64 row, const QString& text) { result_.problems.push_back({row, text}); }
    void Step() {
        if (hooks_.fail_after) {
            hooks_.fail_after->Step();
        }
    }
    void MapColumns(const QStringList& headings);
    void ImportRow(const QStringList& fields, qint64 row);
    qint32 EarlierRow(const ParentRef& ref) const;
    qint32 Resolve(const RowLinks& links, const ParentRef& ref, const char* which);

    DogDatabase& db_;
    QString path_;
    const CsvImportOptions& options_;
    MaintenanceHooks& hooks_;
    CsvImportResult result_;
    const DogRecord blank_;  // copied for each row: cheaper than making a new record
    qint32 last_before_ = 0;
    qint64 dogs_before_ = 0;
    std::optional<NameIndexPause> name_index_;
    std::vector<RowLinks> links_;
    QHash<qint64, qint32> by_file_id_;
    QHash<QString, qint32> by_name_;  // case-folded, trimmed registered name -> first new dog
};

void Importer::MapColumns(const QStringList& headings) {
    result_.headings = headings;
    std::vector<char> taken(kDamNameTarget + 1, 0);
    for (const QString& heading : headings) {
        int target = TargetForHeading(heading);
        const auto it = options_.mapping.constFind(heading);
        if (it != options_.mapping.constEnd()) {
            target = it.value();
        }
        if (target != kNoTarget && taken[static_cast<std::size_t>(target)]) {
            Problem(1, QStringLiteral(
                           "The column \"%1\" is not imported: another column already goes to %2.")
                           .arg(heading, TargetName(target)));
            target = kNoTarget;
        }
        if (target != kNoTarget) {
            taken[static_cast<std::size_t>(target)] = 1;
        }
        result_.targets.push_back(target);
    }
    if (!taken[static_cast<std::size_t>(IndexOf(Field::RegName))]) {
        throw CsvError(path_,
                       QStringLiteral("No column holds the registered names (a heading such as "
                                      "\"RegName\" or \"Name\" on the first line)."));
    }
}

void Importer::ImportRow(const QStringList& fields, qint64 row) {
    DogRecord record = blank_;
    RowLinks links;
    links.row = row;
    std::optional<qint64> file_id;
    QStringList shown;
    const qsizetype count =
        std::min<qsizetype>(fields.size(), static_cast<qsizetype>(result_.targets.size()));
    for (qsizetype c = 0; c < count; ++c) {
        const int target = result_.targets[static_cast<std::size_t>(c)];
        const QString& raw = fields.at(c);
        if (target == kNoTarget) {
            continue;
        }
        if (target == kSireNameTarget || target == kDamNameTarget) {
            const QString name = RemoveFormulaGuard(raw).trimmed();
            (target == kSireNameTarget ? links.sire : links.dam).name = name;
            continue;
        }
        const Field field = FieldAt(target);
        const QString heading = result_.headings.at(c);
        switch (KindOf(field)) {
            case FieldKind::Text:
            case FieldKind::Memo: {
                QString text = RemoveFormulaGuard(raw);
                if (text.size() > MaxLengthOf(field)) {
                    Problem(row,
                            QStringLiteral("%1 is longer than %2 characters and was cut to fit.")
                                .arg(heading)
                                .arg(MaxLengthOf(field)));
                    text.truncate(MaxLengthOf(field));
                }
                record.SetValue(field, text);
                break;
            }
            case FieldKind::YesNo: {
                const auto flag = ParseYesNo(raw, field == Field::SexMale);
                if (!flag) {
                    Problem(row, field == Field::SexMale
                                     ? QStringLiteral(
                                           "The sex \"%1\" is neither male nor female; the dog is "
                                           "entered as female.")
                                           .arg(raw)
                                     : QStringLiteral(
                                           "%1 \"%2\" is neither yes nor no; it is taken as no.")
                                           .arg(heading, raw));
                }
                record.SetValue(field, flag.value_or(false));
                break;
            }
            case FieldKind::Date: {
                const QString text = raw.trimmed();
                QDate date = QDate::fromString(text, Qt::ISODate);
                if (!date.isValid() && !text.isEmpty()) {
                    const DateEntry entry = ParseDateOfBirth(text);
                    if (entry.valid) {
                        date = entry.date;
                    } else {
                        Problem(row,
                                QStringLiteral("The date \"%1\" cannot be read; %2 is left empty.")
                                    .arg(raw, heading));
                    }
                }
                record.SetValue(field, date.isValid() ? QVariant(date) : QVariant());
                break;
            }
            case FieldKind::Double: {
                QString text = raw.trimmed();
                if (text.isEmpty()) {
                    break;
                }
                double scale = 1.0;
                if (text.endsWith(QLatin1Char('%'))) {
                    text.chop(1);
                    scale = 100.0;
                }
                bool ok = false;
                const double value = QLocale::c().toDouble(text.trimmed(), &ok) / scale;
                if (!ok || value < 0.0 || value > 1.0) {
                    Problem(row, QStringLiteral(
                                     "%1 \"%2\" is not a fraction from 0 to 1; it is left empty.")
                                     .arg(heading, raw));
                } else {
                    record.SetValue(field, value);
                }
                break;
            }
            case FieldKind::Long: {
                const QString text = raw.trimmed();
                if (text.isEmpty()) {
                    break;
                }
                bool ok = false;
                const qint64 value = text.toLongLong(&ok);
                if (!ok || value < 0) {
                    Problem(row, QStringLiteral("%1 \"%2\" is not a dog number; it is ignored.")
                                     .arg(heading, raw));
                    break;
                }
                if (field == Field::DogID) {
                    file_id = value;
                } else if (field == Field::SireID) {
                    links.sire.file_id = value;
                } else if (field == Field::DamID) {
                    links.dam.file_id = value;
                }
                break;
            }
        }
    }
    const QString name = record.Text(Field::RegName).trimmed();
    if (name.isEmpty()) {
        Problem(row, QStringLiteral("The row has no registered name and is skipped."));
        ++result_.skipped;
        return;
    }
    if (static_cast<int>(result_.preview.size()) < options_.preview_rows) {
        for (qsizetype c = 0; c < static_cast<qsizetype>(result_.targets.size()); ++c) {
            const int target = result_.targets[static_cast<std::size_t>(c)];
            QString value;
            if (target == kSireNameTarget || target == kDamNameTarget) {
                value = (target == kSireNameTarget ? links.sire : links.dam).name;
            } else if (target != kNoTarget) {
                const QVariant v = record.Value(FieldAt(target));
                value =
                    KindOf(FieldAt(target)) == FieldKind::YesNo
                        ? (v.toBool() ? QStringLiteral("Y") : QStringLiteral("N"))
                    : KindOf(FieldAt(target)) == FieldKind::Date ? v.toDate().toString(Qt::ISODate)
                    : c < fields.size() && target <= IndexOf(Field::DamID) ? fields.at(c).trimmed()
                                                                           : v.toString();
            }
            shown << value;
        }
        result_.preview.push_back(shown);
    }
    // A parent given by a row that came earlier is known now for good (the first row of a
    // number or a name is the one parents link to): it goes in with the dog. The rest wait
    // until every row is in.
    for (const auto& [ref, field] : {std::pair{&links.sire, Field::SireID}, std::pair{&links.dam, Field::DamID}}) {
        const qint32 parent = EarlierRow(*ref);
        if (parent > 0) {
            record.SetValue(field, parent);
            ++result_.parents_linked;
            *ref = ParentRef();
        }
    }
    if (result_.imported >= dogs_before_) {
        name_index_->Pause();
    }
    links.new_id = db_.InsertRow(record);
    ++result_.imported;
    if (file_id && *file_id > 0) {
        if (by_file_id_.contains(*file_id)) {
            Problem(row,
                    QStringLiteral(
                        "The dog number %1 is used by an earlier row; parents are linked to the "
                        "earlier one.")
                        .arg(*file_id));
        } else {
            by_file_id_.insert(*file_id, links.new_id);
        }
    }
    const QString folded = name.toCaseFolded();
    if (!by_name_.contains(folded)) {
        by_name_.insert(folded, links.new_id);
    }
    if (links.sire.file_id > 0 || !links.sire.name.isEmpty() || links.dam.file_id > 0 ||
        !links.dam.name.isEmpty()) {
        links_.push_back(std::move(links));
    }
    Step();
}

qint32 Importer::EarlierRow(const ParentRef& ref) const {
    if (ref.file_id > 0) {
        // A number not seen yet may still come; only then does the name count.
        return by_file_id_.value(ref.file_id, 0);
    }
    return ref.name.isEmpty() ? 0 : by_name_.value(ref.name.toCaseFolded(), 0);
}

qint32 Importer::Resolve(const RowLinks& links, const ParentRef& ref, const char* which) {
    if (ref.file_id > 0) {
        const auto it = by_file_id_.constFind(ref.file_id);
        if (it != by_file_id_.constEnd()) {
            return it.value();
        }
    }
    if (!ref.name.isEmpty()) {
        const auto it = by_name_.constFind(ref.name.toCaseFolded());
        if (it != by_name_.constEnd()) {
            return it.value();
        }
        const qint32 found = db_.FindNextId(Criterion::ByRegName(ref.name), 0);
        if (found > 0 && found <= last_before_) {
            return found;
        }
        Problem(links.row,
                QStringLiteral("The %1 \"%2\" is named nowhere in the file or the database.")
                    .arg(QLatin1String(which), ref.name));
        return 0;
    }
    if (ref.file_id > 0) {
        Problem(links.row, QStringLiteral("The %1 number %2 is not in the file.")
                               .arg(QLatin1String(which))
                               .arg(ref.file_id));
    }
    return 0;
}

CsvImportResult Importer::Run() {
    CsvReader reader(path_);
    result_.delimiter = reader.Delimiter();
    result_.encoding = reader.Encoding();
    QStringList fields;
    if (!reader.Next(fields)) {
        throw CsvError(path_, QStringLiteral("The file is empty."));
    }
    QStringList headings;
    for (const QString& heading : fields) {
        headings << heading.trimmed();
    }
    MapColumns(headings);
    try {
        const TempStoreInMemory temp_store(db_.Connection());
        DogDatabase::Transaction transaction(db_);
        last_before_ = db_.MaxId();
        dogs_before_ = db_.CountRows();
        name_index_.emplace(db_.Connection());
        while (reader.Next(fields)) {
            ImportRow(fields, reader.RecordLine());
        }
        // Parents named in the database and the clean-up look names up in the index.
        name_index_->Resume();
        for (const RowLinks& links : links_) {
            const qint32 sire = Resolve(links, links.sire, "sire");
            const qint32 dam = Resolve(links, links.dam, "dam");
            if (sire == links.new_id || dam == links.new_id) {
                Problem(
                    links.row,
                    QStringLiteral("The dog is named as its own parent; that parent is left out."));
            }
            DogRecord record;
            DogDatabase::FieldMask changed;
            if (sire > 0 && sire != links.new_id) {
                record.SetValue(Field::SireID, sire);
                changed.set(IndexOf(Field::SireID));
                ++result_.parents_linked;
            }
            if (dam > 0 && dam != links.new_id) {
                record.SetValue(Field::DamID, dam);
                changed.set(IndexOf(Field::DamID));
                ++result_.parents_linked;
            }
            db_.UpdateRow(links.new_id, record, changed);
            Step();
        }
        if (options_.cleanup) {
            result_.cleanup = RunMergeDriver(db_, QString(), hooks_);
        }
        if (!options_.dry_run) {
            transaction.Commit();
        }
    } catch (const sqlite::Error& error) {
        throw StoreError(
            db_.Path(),
            QStringLiteral("The database could not be changed, and was left as it was (%1).")
                .arg(QString::fromUtf8(error.what())));
    }
    return result_;
}

}  // namespace

int TargetForHeading(const QString& heading) {
    const QString key = Normalised(heading);
    const auto it = Synonyms().constFind(key);
    if (it != Synonyms().constEnd()) {
        return it.value();
    }
    for (int i = 0; i < kFieldCount; ++i) {
        const Field field = FieldAt(i);
        if (field != Field::SystemUseLongInt && field != Field::SystemUseText &&
            Normalised(QLatin1String(NameOf(field))) == key) {
            return i;
        }
    }
    return kNoTarget;
}

QString TargetName(int target) {
    if (target == kSireNameTarget) {
        return QStringLiteral("SireName");
    }
    if (target == kDamNameTarget) {
        return QStringLiteral("DamName");
    }
    if (target >= 0 && target < kFieldCount) {
        return QLatin1String(NameOf(FieldAt(target)));
    }
    return QStringLiteral("(not imported)");
}

CsvImportResult ImportDogsCsv(DogDatabase& database, const QString& path,
                              const CsvImportOptions& options, MaintenanceHooks& hooks) {
    Importer importer(database, path, options, hooks);
    return importer.Run();
}

}  // namespace lineara
