#include "maintenance/V3Import.h"

#include "app/AppState.h"
#include "app/Cp1252.h"
#include "app/FileExists.h"
#include "app/Prompts.h"
#include "app/TrimBlanks.h"
#include "maintenance/OldDataFile.h"
#include "store/DogDatabase.h"
#include "store/DogSchema.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>

namespace lineara {

namespace {

using namespace olddata;

QString Tr(const char* text) { return QString::fromUtf8(text); }

const QString kAllowedNameCharacters = QStringLiteral(
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890`~!@#$%^&*()-_=+\\|[{]};:',<.>/? ");

qint16 IntAt(const char* record, int offset) {
    const auto low = static_cast<unsigned char>(record[offset]);
    const auto high = static_cast<unsigned char>(record[offset + 1]);
    return static_cast<qint16>(static_cast<quint16>(low | (high << 8)));
}

QString RawText(const char* record, TextSlot slot) {
    return cp1252::Decode(QByteArray(record + slot.offset, slot.size));
}

// A text field, emptied when it starts with a control character.
QString CleanText(const char* record, TextSlot slot) {
    if (static_cast<unsigned char>(record[slot.offset]) < 32) {
        return {};
    }
    return TrimBlanks(RawText(record, slot));
}

// The registered name keeps only the allowed characters. Letters of the code page's upper
// half (é, ñ, ß...) are kept too: they are real letters of kennel names, not leftovers.
QString CleanName(const char* record) {
    const QString trimmed = TrimBlanks(RawText(record, kRegName));
    QString cleaned;
    cleaned.reserve(trimmed.size());
    for (const QChar c : trimmed) {
        if (kAllowedNameCharacters.contains(c) || (c.unicode() >= 128 && c.isLetter())) {
            cleaned.append(c);
        }
    }
    return TrimBlanks(cleaned);
}

QVariant TextOrNull(const QString& text) { return text.isEmpty() ? QVariant() : QVariant(text); }

DogRecord RecordFrom(const char* raw, const QString& name) {
    DogRecord record;
    record.SetValue(Field::RegName, name);
    record.SetValue(Field::SexMale, IntAt(raw, kSex) != 0);
    const std::pair<TextSlot, Field> texts[] = {
        {kDescription, Field::Description}, {kCallName, Field::CallName},
        {kComments, Field::Comments},       {kCkcId, Field::CKCID},
        {kAkcId, Field::AKCID},             {kTattoo, Field::TattooID},
        {kPreTitles, Field::OtherPreTitles}, {kPostTitles, Field::OtherPostTitles},
    };
    for (const auto& [slot, field] : texts) {
        record.SetValue(field, TextOrNull(CleanText(raw, slot)));
    }
    // The short championship codes stand in for a blank long field. The control-character rule
    // applies to them as well, so no control bytes reach the chart.
    QString other = CleanText(raw, kOtherCh);
    if (other.isEmpty()) {
        other = CleanText(raw, kShortOtherCh);
    }
    record.SetValue(Field::OtherCh, TextOrNull(other));
    for (const auto& [offset, field] : OldTitleFlags()) {
        if (IntAt(raw, offset) != 0) {
            record.SetValue(field, true);
        }
    }
    const int canadian = IntAt(raw, kCanadianObedience);
    record.SetValue(Field::CanCD, canadian >= 1);
    record.SetValue(Field::CanCDX, canadian >= 2);
    record.SetValue(Field::CanOTCh, canadian >= 3);
    const int american = IntAt(raw, kAmericanObedience);
    record.SetValue(Field::AmCD, american >= 1);
    record.SetValue(Field::AmCDX, american >= 2);
    record.SetValue(Field::AmUD, american >= 3);
    record.SetValue(Field::AmUDX, american >= 4);
    const int citizen = IntAt(raw, kGoodCitizen);
    record.SetValue(Field::CanCGC, citizen == 1 || citizen == 3);
    record.SetValue(Field::AmCGC, citizen == 2 || citizen == 3);
    return record;
}

QByteArray ReadWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw StoreError(path, Tr("The file could not be opened for reading: %1").arg(file.errorString()));
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFile::NoError) {
        throw StoreError(path, Tr("The file could not be read: %1").arg(file.errorString()));
    }
    return bytes;
}

// The number of records, after checking that the file holds them all.
int CheckedCount(const QString& path, const QByteArray& bytes) {
    if (bytes.size() < kHeaderSize) {
        throw StoreError(path, Tr("The file is damaged: it is shorter than its %1-byte header.")
                                   .arg(kHeaderSize));
    }
    const int count = IntAt(bytes.constData(), 0);
    if (count <= 0) {
        throw StoreError(path, Tr("The file contains no dogs (its record count is %1).").arg(count));
    }
    const qint64 complete = (bytes.size() - kHeaderSize) / kRecordSize;
    if (complete < count) {
        throw StoreError(path, Tr("The file is damaged: it names %1 dogs but holds only %2 complete "
                                  "records.")
                                   .arg(count)
                                   .arg(complete));
    }
    return count;
}

}  // namespace

const std::vector<std::pair<int, Field>>& OldTitleFlags() {
    static const std::vector<std::pair<int, Field>> flags = {
        {614, Field::AmCh},   {616, Field::CanCh},  {626, Field::ROMC},   {628, Field::ROM},
        {630, Field::BIS},    {632, Field::BISS},   {634, Field::BPIS},   {636, Field::BPISS},
        {706, Field::AmOTCh}, {776, Field::HC},     {778, Field::FD},     {816, Field::HT},
        {818, Field::PT},     {820, Field::HS},     {822, Field::HI},     {824, Field::HX},
        {826, Field::HCh},    {838, Field::FDX},    {840, Field::FDCh},   {842, Field::ADC},
        {844, Field::AADC},   {846, Field::MADC},   {848, Field::NA},     {850, Field::OA},
        {852, Field::AX},     {854, Field::UAgI},   {856, Field::UAgII},  {858, Field::UAgIII},
        {860, Field::UACh},   {862, Field::AD},     {864, Field::VAD},    {866, Field::MAD},
        {868, Field::SM},     {870, Field::GM},     {872, Field::PM},     {874, Field::JM},
        {876, Field::ADCh},
    };
    return flags;
}

V3ImportCounts ImportV3File(const QString& dat_path, const QString& target,
                            StagedDatabase::Replace replace, Progress& progress,
                            FailAfter& fail_after, const std::function<void()>& before_replace) {
    progress.SetText(Tr("Preparing to import data ..."));
    progress.SetFraction(0);
    const QByteArray bytes = ReadWholeFile(dat_path);
    const int count = CheckedCount(dat_path, bytes);
    if (replace == StagedDatabase::Replace::Never && QFileInfo::exists(target)) {
        throw StoreError(target, Tr("A file of that name already exists."));
    }

    StagedDatabase staged(target);
    V3ImportCounts counts;
    {
        const auto database = DogDatabase::Open(staged.TemporaryPath());
        try {
            sqlite::Connection& connection = database->Connection();
            // The file is built aside and thrown away if anything fails, so its rollback
            // journal can stay in memory: a kill leaves only the temporary file behind.
            connection.Execute("PRAGMA journal_mode = MEMORY");
            connection.Execute("PRAGMA cache_size = -65536");
            DogDatabase::Transaction transaction(*database);
            connection.Execute(schema::DropNameIndexStatements().toUtf8().constData());
            std::vector<qint32> new_id(count + 1, 0);
            std::vector<qint16> sire_ref(count + 1, 0);
            std::vector<qint16> dam_ref(count + 1, 0);
            // A record number outside the file, or one of a skipped record, means no parent.
            const auto resolve = [&](qint16 ref) { return ref >= 1 && ref <= count ? new_id[ref] : 0; };
            const auto earlier = [&](qint16 ref, int k) { return ref < k ? resolve(ref) : 0; };

            progress.SetText(Tr("Importing data: pass 1 of 2"));
            for (int k = 1; k <= count; ++k) {
                progress.SetFraction(double(k) / count);
                const char* raw = bytes.constData() + kHeaderSize + qsizetype(kRecordSize) * (k - 1);
                const QString name = CleanName(raw);
                if (name.isEmpty()) {
                    ++counts.skipped;
                    continue;
                }
                fail_after.Step();
                sire_ref[k] = IntAt(raw, kSireRef);
                dam_ref[k] = IntAt(raw, kDamRef);
                // A parent that comes earlier in the file already has its new number: its
                // link is written with the dog, and pass 2 is left the ones that come later.
                DogRecord record = RecordFrom(raw, name);
                record.SetValue(Field::SireID, earlier(sire_ref[k], k));
                record.SetValue(Field::DamID, earlier(dam_ref[k], k));
                new_id[k] = database->InsertRow(record);
                ++counts.imported;
            }

            progress.SetText(Tr("Importing data: pass 2 of 2"));
            progress.SetFraction(0);
            DogDatabase::FieldMask links;
            links.set(static_cast<std::size_t>(Field::SireID));
            links.set(static_cast<std::size_t>(Field::DamID));
            for (int k = 1; k <= count; ++k) {
                progress.SetFraction(double(k) / count);
                if (new_id[k] == 0 || (sire_ref[k] < k && dam_ref[k] < k)) {
                    continue;
                }
                const qint32 sire = resolve(sire_ref[k]);
                const qint32 dam = resolve(dam_ref[k]);
                if (sire == 0 && dam == 0) {
                    continue;
                }
                fail_after.Step();
                DogRecord record;
                record.SetValue(Field::SireID, sire);
                record.SetValue(Field::DamID, dam);
                database->UpdateRow(new_id[k], record, links);
            }
            connection.Execute(schema::NameIndexStatements().toUtf8().constData());
            connection.Execute(schema::kRebuildNameIndex);
            transaction.Commit();
        } catch (const sqlite::Error& error) {
            database->Fail(QString::fromUtf8(error.what()));
        }
    }
    if (before_replace) {
        before_replace();
    }
    staged.Commit(replace);
    return counts;
}

QString ImportedDatabasePath(const QString& current_database) {
    const QString trimmed = current_database.trimmed();
    const qsizetype slash = std::max(trimmed.lastIndexOf(u'/'), trimmed.lastIndexOf(u'\\'));
    return trimmed.left(slash + 1) + QStringLiteral("Imported Data.mdb");
}

bool RunV3Import(AppState& state, Prompts& prompts, Progress& progress,
                 const std::function<void()>& release_current, FailAfter& fail_after) {
    const auto old_file = FindExistingFile(state.working_directory, QStringLiteral("LINEARA.DAT"));
    if (!old_file) {
        return false;
    }
    const QString target = ImportedDatabasePath(state.DatabasePath());
    try {
        ImportV3File(*old_file, target, StagedDatabase::Replace::Allowed, progress, fail_after,
                     release_current);
    } catch (const StoreError& error) {
        prompts.Message(Tr("Import Lineara v3 Data"),
                        Tr("The old data file could not be imported, and nothing was changed.\n\n"
                           "%1: %2")
                            .arg(QDir::toNativeSeparators(error.File()), error.Reason()),
                        Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return false;
    }
    state.settings.DatabaseFile = target;
    const QDir folder(state.working_directory);
    if (const auto older = FindExistingFile(state.working_directory, QStringLiteral("LINEARA.OLDDAT"))) {
        QFile::remove(*older);
    }
    if (!QFile::rename(*old_file, folder.filePath(QStringLiteral("LINEARA.OLDDAT")))) {
        prompts.Message(Tr("Import Lineara v3 Data"),
                        Tr("The dogs were imported, but %1 could not be renamed LINEARA.OLDDAT. "
                           "Rename or move it yourself, or you will be asked to import it again.")
                            .arg(QDir::toNativeSeparators(*old_file)),
                        Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    }
    return true;
}

}  // namespace lineara
