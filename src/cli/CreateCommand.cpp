#include "cli/CliCommand.h"

#include "maintenance/DatabaseFiles.h"
#include "store/StoreError.h"

namespace lineara::cli {

int RunCreate(const QStringList& args, Streams& io) {
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        io.err << "usage: lineara-cli create FILE\n";
        return kExitUsage;
    }
    try {
        CreatePlaceholderDatabase(args.first(), StagedDatabase::Replace::Never);
    } catch (const StoreError& error) {
        io.err << "lineara-cli create: " << error.File() << ": " << error.Reason() << "\n";
        return kExitUsage;
    }
    io.out << "Created a new LINEARA database holding \"" << PlaceholderDogName()
           << "\": " << args.first() << "\n";
    return kExitOk;
}

}  // namespace lineara::cli
