#include "cli/CliCommand.h"

#include "analysis/ClearCoefficients.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

namespace lineara::cli {

int RunClearIc(const QStringList& args, Streams& io) {
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        io.err << "usage: lineara-cli clear-ic FILE\n";
        return kExitUsage;
    }
    try {
        const std::shared_ptr<DogDatabase> database = DogDatabase::Open(args.first());
        const ClearCoefficientsResult result = ClearAllInbreedingCoefficients(*database);
        if (result.dogs == 0) {
            io.out << "no dogs in the database: nothing to clear\n";
        } else if (result.cleared == 0) {
            io.out << "no dog has an inbreeding coefficient: nothing to clear\n";
        } else {
            io.out << "cleared " << result.cleared << " inbreeding coefficients\n";
        }
    } catch (const StoreError& error) {
        io.err << "lineara-cli clear-ic: " << error.File() << ": " << error.Reason() << "\n";
        return kExitUsage;
    } catch (const std::exception& error) {
        io.err << "lineara-cli clear-ic: " << error.what() << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace lineara::cli
