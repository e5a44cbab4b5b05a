#pragma once

#include "maintenance/DatabaseMerge.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace lineara {

class DogDatabase;

// Where a column of an imported file goes: a field of the dog record, the sire's or dam's
// registered name, or nowhere.
inline constexpr int kNoTarget = -1;
inline constexpr int kSireNameTarget = 1000;
inline constexpr int kDamNameTarget = 1001;

// The target of a column heading: the field names and the common synonyms (Name, Sire, Dam,
// Sex, Born, Date of birth, Call name, Registration, Microchip, Titles ...), ignoring letter
// case, blanks and punctuation. kNoTarget for anything else and for the scratch fields.
int TargetForHeading(const QString& heading);
// "RegName", "SireName", "(not imported)" ...
QString TargetName(int target);

struct CsvImportProblem {
    qint64 row = 0;  // the file's line number
    QString text;
};

struct CsvImportResult {
    QChar delimiter;
    QString encoding;
    QStringList headings;
    std::vector<int> targets;
    std::vector<QStringList> preview;  // the first rows, as they are imported
    std::vector<CsvImportProblem> problems;
    qint64 imported = 0;
    qint64 skipped = 0;
    qint64 parents_linked = 0;
    MaintenanceCounts cleanup;
};

struct CsvImportOptions {
    // Column heading (as in the file) -> target, replacing the automatic mapping.
    QHash<QString, int> mapping;
    // Runs everything, then rolls it all back: the mapping, the problems and the counts the
    // import would give, with the database unchanged.
    bool dry_run = false;
    // Without the clean-up: the preview before the user confirms, which only needs the
    // mapping, the problems and the counts of the rows.
    bool cleanup = true;
    int preview_rows = 10;
};

// Adds every row of the CSV file as a new dog, links parents given by SireID/DamID within the
// file or by name (within the file first, then the database), then runs the clean-up of the
// merge, all in one transaction. A row without a registered name is reported and skipped;
// values that cannot be read are reported with their row and left empty. Throws CsvError for
// a file that cannot be read (nothing is then changed), StoreError for the database.
CsvImportResult ImportDogsCsv(DogDatabase& database, const QString& path,
                              const CsvImportOptions& options, MaintenanceHooks& hooks);

}  // namespace lineara
