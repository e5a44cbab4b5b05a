#include "cli/CliCommand.h"

#include "app/AtomicFile.h"
#include "inbreeding/BulkInbreeding.h"
#include "inbreeding/InbreedingReport.h"
#include "inbreeding/TrialMating.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

#include <cstdio>

namespace lineara::cli {

namespace {

struct CoiOptions {
    QString file;
    qint32 dog = 0;
    qint32 sire = 0;  // with `dam`: a trial mating instead of one dog
    qint32 dam = 0;
    int generations = kDefaultAnalysisGenerations;
    QString report;
    bool store = false;
    bool all = false;  // every dog of the database
    QString csv;
};

struct BadOption {
    QString message;
};

CoiOptions ParseCoiOptions(const QStringList& args) {
    CoiOptions options;
    auto value = [&args](qsizetype& i, const QString& name) {
        const QString& arg = args.at(i);
        if (arg.startsWith(name + u'=')) {
            return arg.mid(name.size() + 1);
        }
        if (i + 1 >= args.size()) {
            throw BadOption{QStringLiteral("option %1 needs a value").arg(name)};
        }
        return args.at(++i);
    };
    auto is = [](const QString& arg, const char* name) {
        return arg == QLatin1String(name) || arg.startsWith(QLatin1String(name) + u'=');
    };
    auto dog_id = [&](qsizetype& i, const QString& name) {
        const QString text = value(i, name);
        bool ok = false;
        const qint32 id = text.toInt(&ok);
        if (!ok || id <= 0) throw BadOption{QStringLiteral("\"%1\" is not a DogID").arg(text)};
        return id;
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        bool ok = false;
        if (is(arg, "--dog")) {
            options.dog = dog_id(i, QStringLiteral("--dog"));
        } else if (is(arg, "--sire")) {
            options.sire = dog_id(i, QStringLiteral("--sire"));
        } else if (is(arg, "--dam")) {
            options.dam = dog_id(i, QStringLiteral("--dam"));
        } else if (is(arg, "--gens")) {
            const QString text = value(i, QStringLiteral("--gens"));
            if (text == QLatin1String("all")) {
                options.generations = kAllKnownGenerations;
                continue;
            }
            options.generations = text.toInt(&ok);
            if (!ok || options.generations < kMinAnalysisGenerations || options.generations > kMaxAnalysisGenerations) {
                throw BadOption{QStringLiteral("--gens takes a number from %1 to %2, not \"%3\"")
                                    .arg(kMinAnalysisGenerations)
                                    .arg(kMaxAnalysisGenerations)
                                    .arg(text)};
            }
        } else if (is(arg, "--report")) {
            options.report = value(i, QStringLiteral("--report"));
            if (options.report.isEmpty()) throw BadOption{QStringLiteral("--report needs a file name")};
        } else if (is(arg, "--csv")) {
            options.csv = value(i, QStringLiteral("--csv"));
            if (options.csv.isEmpty()) throw BadOption{QStringLiteral("--csv needs a file name")};
        } else if (arg == QLatin1String("--all")) {
            options.all = true;
        } else if (arg == QLatin1String("--store")) {
            options.store = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            throw BadOption{QStringLiteral("unknown option \"%1\"").arg(arg)};
        } else if (options.file.isEmpty()) {
            options.file = arg;
        } else {
            throw BadOption{QStringLiteral("unexpected argument \"%1\"").arg(arg)};
        }
    }
    if (options.file.isEmpty()) throw BadOption{QStringLiteral("no database file given")};
    const bool trial = options.sire != 0 || options.dam != 0;
    if (options.all) {
        if (trial || options.dog != 0) throw BadOption{QStringLiteral("--all cannot go with --dog, --sire or --dam")};
        if (!options.report.isEmpty()) throw BadOption{QStringLiteral("--all writes no report (use --csv PATH)")};
        return options;
    }
    if (!options.csv.isEmpty()) throw BadOption{QStringLiteral("--csv goes with --all")};
    if (options.generations == kAllKnownGenerations) {
        throw BadOption{QStringLiteral("--gens all goes with --all")};
    }
    if (trial && options.dog != 0) throw BadOption{QStringLiteral("--dog cannot go with --sire and --dam")};
    if (trial && (options.sire == 0 || options.dam == 0)) {
        throw BadOption{QStringLiteral("a trial mating needs both --sire ID and --dam ID")};
    }
    if (trial && options.store) throw BadOption{QStringLiteral("a trial mating stores nothing (no --store)")};
    if (!trial && options.dog == 0) throw BadOption{QStringLiteral("no dog given (--dog ID)")};
    return options;
}

}  // namespace

int RunCoi(const QStringList& args, Streams& io) {
    try {
        const CoiOptions options = ParseCoiOptions(args);
        const std::shared_ptr<DogDatabase> database = DogDatabase::Open(options.file);
        auto write_report = [&](const QByteArray& report) {
            const QString error = options.report.isEmpty() ? QString() : WriteReportFile(options.report, report);
            if (!error.isEmpty()) {
                io.err << "lineara-cli coi: " << options.report << ": " << error << "\n";
            }
            return error.isEmpty();
        };
        auto figure = [](double value) {
            char fraction[40];
            std::snprintf(fraction, sizeof fraction, "%.17g", value);
            return QString::fromLatin1(fraction) + u' ' + PercentText(value);
        };
        if (options.all) {
            const PedigreeTable table = ReadPedigreeTable(*database);
            NoProgress quiet;
            const std::optional<std::vector<double>> coefficients =
                RunAllCoefficients(*database, table, options.generations, false, quiet);
            // As with a report, the file is written before anything is stored.
            if (!options.csv.isEmpty()) {
                const QString error = WriteFileAtomically(options.csv, CoefficientsCsv(*database, table, *coefficients));
                if (!error.isEmpty()) {
                    io.err << "lineara-cli coi: " << options.csv << ": " << error << "\n";
                    return kExitUsage;
                }
            }
            if (options.store) {
                StoreAllCoefficients(*database, table, *coefficients, quiet);
            }
            const QString depth = options.generations == kAllKnownGenerations
                                      ? QStringLiteral("all known generations")
                                      : QStringLiteral("%1 generations").arg(options.generations);
            io.out << (options.store ? "stored " : "computed ") << coefficients->size()
                   << " inbreeding coefficients over " << depth << "\n";
            return kExitOk;
        }
        if (options.sire != 0) {
            const TrialMatingRun run = RunTrialMating(*database, options.sire, options.dam, options.generations);
            if (!write_report(run.report)) {
                return kExitUsage;
            }
            io.out << figure(run.mating.analysis.coefficient) << "\n"
                   << "R " << figure(run.mating.relationship) << "\n";
            return kExitOk;
        }
        const InbreedingRun run = RunInbreedingAnalysis(*database, options.dog, options.generations);
        // The report is written before anything is stored, so a failure changes nothing.
        if (!write_report(run.report)) {
            return kExitUsage;
        }
        if (options.store) {
            StoreCoefficient(*database, options.dog, run.analysis.coefficient);
        }
        io.out << figure(run.analysis.coefficient) << "\n";
        return kExitOk;
    } catch (const BadOption& error) {
        io.err << "lineara-cli coi: " << error.message << "\n"
               << "usage: lineara-cli coi FILE --dog ID [--gens 5..20] [--report PATH] [--store]\n"
               << "       lineara-cli coi FILE --sire ID --dam ID [--gens 5..20] [--report PATH]\n"
               << "       lineara-cli coi FILE --all [--gens 5..20|all] [--store] [--csv PATH]\n";
        return kExitUsage;
    } catch (const StoreError& error) {
        io.err << "lineara-cli coi: " << error.File() << ": " << error.Reason() << "\n";
        return kExitUsage;
    }
}

}  // namespace lineara::cli
