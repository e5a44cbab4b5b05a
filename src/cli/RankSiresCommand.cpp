#include "cli/CliCommand.h"

#include "inbreeding/InbreedingReport.h"
#include "inbreeding/MateRanking.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

namespace lineara::cli {

namespace {

const char kUsage[] = "usage: lineara-cli rank-sires FILE --dam ID [--gens 5..20] [--all-males] [--limit K]\n";

}  // namespace

int RunRankSires(const QStringList& args, Streams& io) {
    QString file;
    qint32 dam = 0;
    int generations = kDefaultAnalysisGenerations;
    bool all_males = false;
    qsizetype limit = -1;
    auto refuse = [&io](const QString& message) {
        io.err << "lineara-cli rank-sires: " << message << "\n" << kUsage;
        return kExitUsage;
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        auto number = [&](const char* name, int low, int high, int& out) {
            QString text;
            if (arg.startsWith(QLatin1String(name) + u'=')) {
                text = arg.mid(qsizetype(qstrlen(name)) + 1);
            } else if (i + 1 < args.size()) {
                text = args.at(++i);
            } else {
                return false;
            }
            bool ok = false;
            out = text.toInt(&ok);
            return ok && out >= low && out <= high;
        };
        auto is = [&arg](const char* name) {
            return arg == QLatin1String(name) || arg.startsWith(QLatin1String(name) + u'=');
        };
        int value = 0;
        if (is("--dam")) {
            if (!number("--dam", 1, std::numeric_limits<int>::max(), value)) return refuse(QStringLiteral("--dam takes a DogID"));
            dam = value;
        } else if (is("--gens")) {
            if (!number("--gens", kMinAnalysisGenerations, kMaxAnalysisGenerations, value)) {
                return refuse(QStringLiteral("--gens takes a number from %1 to %2")
                                  .arg(kMinAnalysisGenerations)
                                  .arg(kMaxAnalysisGenerations));
            }
            generations = value;
        } else if (is("--limit")) {
            if (!number("--limit", 1, std::numeric_limits<int>::max(), value)) {
                return refuse(QStringLiteral("--limit takes a number of sires, 1 or more"));
            }
            limit = value;
        } else if (arg == QLatin1String("--all-males")) {
            all_males = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            return refuse(QStringLiteral("unknown option \"%1\"").arg(arg));
        } else if (file.isEmpty()) {
            file = arg;
        } else {
            return refuse(QStringLiteral("unexpected argument \"%1\"").arg(arg));
        }
    }
    if (file.isEmpty()) return refuse(QStringLiteral("no database file given"));
    if (dam == 0) return refuse(QStringLiteral("no dam given (--dam ID)"));
    try {
        const std::shared_ptr<DogDatabase> database = DogDatabase::Open(file);
        if (!database->ReadRow(dam)) {
            io.err << "lineara-cli rank-sires: " << file << ": no dog has DogID " << dam << "\n";
            return kExitUsage;
        }
        const PedigreeTable table = ReadPedigreeTable(*database);
        NoProgress quiet;
        const std::vector<RankedSire> ranked =
            *RankSires(table, dam, SireCandidates(*database, dam, all_males), generations, quiet);
        const qsizetype shown = limit < 0 ? qsizetype(ranked.size()) : std::min(limit, qsizetype(ranked.size()));
        for (qsizetype i = 0; i < shown; ++i) {
            const RankedSire& line = ranked[static_cast<std::size_t>(i)];
            io.out << line.sire.dog_id << '\t' << PercentText(line.coefficient) << '\t'
                   << PercentText(line.relationship) << '\t' << line.sire.name << '\n';
        }
        return kExitOk;
    } catch (const StoreError& error) {
        io.err << "lineara-cli rank-sires: " << error.File() << ": " << error.Reason() << "\n";
        return kExitUsage;
    }
}

}  // namespace lineara::cli
