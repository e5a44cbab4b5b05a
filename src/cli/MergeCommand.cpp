// lineara-cli merge and clean: the automatic merge and clean-up, which share one driver.

#include "cli/CliCommand.h"

#include "maintenance/DatabaseMerge.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

namespace lineara::cli {
namespace {

int RunMaintenance(const char* name, const QString& file, const QString& other, Streams& io) {
    try {
        const std::shared_ptr<DogDatabase> database = DogDatabase::Open(file);
        MaintenanceHooks hooks;  // no prompts: the automatic mode
        const MaintenanceCounts counts = RunMergeDriver(*database, other, hooks);
        io.out << "added " << counts.added << ", merged " << counts.merged << ", deleted "
               << counts.deleted << "\n";
    } catch (const StoreError& error) {
        io.err << "lineara-cli " << name << ": " << error.File() << ": " << error.Reason()
               << "\n";
        return kExitUsage;
    } catch (const std::exception& error) {
        io.err << "lineara-cli " << name << ": " << file << ": " << error.what() << "\n";
        return kExitUsage;
    }
    return kExitOk;
}

bool IsOption(const QString& arg) { return arg.startsWith(QLatin1String("--")); }

}  // namespace

int RunMerge(const QStringList& args, Streams& io) {
    if (args.size() != 2 || IsOption(args[0]) || IsOption(args[1])) {
        io.err << "usage: lineara-cli merge FILE OTHER\n";
        return kExitUsage;
    }
    return RunMaintenance("merge", args[0], args[1], io);
}

int RunClean(const QStringList& args, Streams& io) {
    if (args.size() != 1 || IsOption(args[0])) {
        io.err << "usage: lineara-cli clean FILE\n";
        return kExitUsage;
    }
    return RunMaintenance("clean", args[0], QString(), io);
}

}  // namespace lineara::cli
