#include "cli/CliCommand.h"

#include "exchange/CsvReader.h"
#include "exchange/DogCsvImport.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

#include <optional>

namespace lineara::cli {

namespace {

const char* const kImportCsvUsage =
    "usage: lineara-cli import-csv FILE IN.csv [--map COLUMN=FIELD ...] [--dry-run]\n"
    "       FIELD is a field name, SireName, DamName, or nothing to leave the column out\n";

// A field name as --map gives it, ignoring letter case; an empty name or "-" leaves the column out.
std::optional<int> TargetNamed(const QString& name) {
    if (name.isEmpty() || name == QLatin1String("-")) {
        return kNoTarget;
    }
    for (int target = 0; target < kFieldCount; ++target) {
        if (FieldAt(target) != Field::SystemUseLongInt && FieldAt(target) != Field::SystemUseText &&
            TargetName(target).compare(name, Qt::CaseInsensitive) == 0) {
            return target;
        }
    }
    for (const int target : {kSireNameTarget, kDamNameTarget}) {
        if (TargetName(target).compare(name, Qt::CaseInsensitive) == 0) {
            return target;
        }
    }
    return std::nullopt;
}

}  // namespace

int RunImportCsv(const QStringList& args, Streams& io) {
    QStringList positional;
    CsvImportOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--dry-run")) {
            options.dry_run = true;
        } else if (arg == QLatin1String("--map")) {
            const QString pair = i + 1 < args.size() ? args.at(++i) : QString();
            const qsizetype equals = pair.lastIndexOf(QLatin1Char('='));
            const std::optional<int> target =
                equals > 0 ? TargetNamed(pair.mid(equals + 1).trimmed()) : std::nullopt;
            if (!target) {
                io.err << "lineara-cli import-csv: --map needs COLUMN=FIELD with a field of the "
                          "dog record, not \""
                       << pair << "\"\n"
                       << kImportCsvUsage;
                return kExitUsage;
            }
            options.mapping.insert(pair.left(equals).trimmed(), *target);
        } else if (arg.startsWith(QLatin1String("--"))) {
            io.err << "lineara-cli import-csv: unknown option \"" << arg << "\"\n"
                   << kImportCsvUsage;
            return kExitUsage;
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 2) {
        io.err << kImportCsvUsage;
        return kExitUsage;
    }
    try {
        const std::shared_ptr<DogDatabase> database = DogDatabase::Open(positional.at(0));
        MaintenanceHooks hooks;  // no prompts: the automatic clean-up
        const CsvImportResult result = ImportDogsCsv(*database, positional.at(1), options, hooks);
        if (options.dry_run) {
            io.out << "delimiter "
                   << (result.delimiter == QLatin1Char('\t') ? QStringLiteral("tab")
                                                             : QString(result.delimiter))
                   << ", encoding " << result.encoding << "\n";
            for (std::size_t c = 0; c < result.targets.size(); ++c) {
                io.out << "  " << result.headings.at(static_cast<qsizetype>(c)) << " -> "
                       << TargetName(result.targets[c]) << "\n";
            }
        }
        for (const CsvImportProblem& problem : result.problems) {
            io.out << "row " << problem.row << ": " << problem.text << "\n";
        }
        io.out << (options.dry_run ? "would import " : "imported ") << result.imported
               << " dogs, skipped " << result.skipped << ", linked " << result.parents_linked
               << " parents, folded " << result.cleanup.deleted << " duplicates"
               << (options.dry_run ? " (nothing changed)" : "") << "\n";
    } catch (const StoreError& error) {
        io.err << "lineara-cli import-csv: " << error.File() << ": " << error.Reason() << "\n";
        return kExitUsage;
    } catch (const CsvError& error) {
        io.err << "lineara-cli import-csv: " << error.File() << ": " << error.Reason() << "\n";
        return kExitUsage;
    }
    return kExitOk;
}

}  // namespace lineara::cli
