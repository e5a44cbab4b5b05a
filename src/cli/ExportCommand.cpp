#include "cli/CliCommand.h"

namespace lineara::cli {

int RunExport(const QStringList&, Streams& io) {
    io.err << "lineara-cli: export is not available yet\n";
    return kExitFailure;
}

}  // namespace lineara::cli
