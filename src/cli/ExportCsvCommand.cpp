#include "cli/CliCommand.h"

#include "exchange/CsvReader.h"
#include "exchange/DogCsvExport.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

namespace lineara::cli {

namespace {

const char* const kExportCsvUsage =
    "usage: lineara-cli export-csv FILE OUT.csv [--root ID --gens 2..20]\n";

}  // namespace

int RunExportCsv(const QStringList& args, Streams& io) {
    QStringList positional;
    qint32 root = 0;
    int gens = 0;
    bool have_gens = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--root") || arg == QLatin1String("--gens")) {
            bool ok = false;
            const int value = i + 1 < args.size() ? args.at(i + 1).toInt(&ok) : 0;
            if (!ok) {
                io.err << "lineara-cli export-csv: " << arg << " needs a number\n"
                       << kExportCsvUsage;
                return kExitUsage;
            }
            ++i;
            if (arg == QLatin1String("--root")) {
                root = value;
            } else {
                gens = value;
                have_gens = true;
            }
        } else if (arg.startsWith(QLatin1String("--"))) {
            io.err << "lineara-cli export-csv: unknown option \"" << arg << "\"\n"
                   << kExportCsvUsage;
            return kExitUsage;
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 2 || (have_gens && root <= 0) || root < 0 ||
        (root > 0 && have_gens && (gens < 2 || gens > 20))) {
        io.err << kExportCsvUsage;
        return kExitUsage;
    }
    if (root > 0 && !have_gens) {
        gens = 6;
    }
    try {
        const std::shared_ptr<DogDatabase> database = DogDatabase::Open(positional.at(0));
        const qint64 written = ExportDogsCsv(*database, positional.at(1), root, gens);
        io.out << "exported " << written << (written == 1 ? " dog" : " dogs") << " to "
               << positional.at(1) << "\n";
    } catch (const StoreError& error) {
        io.err << "lineara-cli export-csv: " << error.File() << ": " << error.Reason() << "\n";
        return kExitUsage;
    } catch (const CsvError& error) {
        io.err << "lineara-cli export-csv: " << error.File() << ": " << error.Reason() << "\n";
        return kExitUsage;
    }
    return kExitOk;
}

}  // namespace lineara::cli
