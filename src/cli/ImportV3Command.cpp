#include "cli/CliCommand.h"

#include "maintenance/V3Import.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"

namespace lineara::cli {

int RunImportV3(const QStringList& args, Streams& io) {
    if (args.size() != 2 || args[0].startsWith(QLatin1String("--")) ||
        args[1].startsWith(QLatin1String("--"))) {
        io.err << "usage: lineara-cli import-v3 DATFILE NEWDB\n";
        return kExitUsage;
    }
    try {
        NoProgress quiet;
        FailAfter never;
        const V3ImportCounts counts =
            ImportV3File(args[0], args[1], StagedDatabase::Replace::Never, quiet, never);
        io.out << "imported " << counts.imported << " dogs, skipped " << counts.skipped << "\n";
        return kExitOk;
    } catch (const StoreError& error) {
        io.err << "lineara-cli: " << error.File() << ": " << error.Reason() << "\n";
    } catch (const sqlite::Error& error) {
        io.err << "lineara-cli: " << args[1] << ": " << error.what() << "\n";
    }
    return kExitUsage;
}

}  // namespace lineara::cli
