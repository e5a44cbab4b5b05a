#include "cli/CliCommand.h"

#include "store/DogDatabase.h"
#include "store/StoreError.h"

namespace lineara::cli {

int RunInit(const QStringList& args, Streams& io) {
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        io.err << "usage: lineara-cli init FILE\n";
        return kExitUsage;
    }
    try {
        DogDatabase::Create(args.first());
    } catch (const StoreError& error) {
        io.err << "lineara-cli: " << error.File() << ": " << error.Reason() << "\n";
        return kExitUsage;
    }
    io.out << "Created an empty LINEARA database: " << args.first() << "\n";
    return kExitOk;
}

}  // namespace lineara::cli
