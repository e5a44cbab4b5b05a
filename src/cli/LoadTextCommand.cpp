#include "cli/CliCommand.h"

namespace lineara::cli {

int RunLoadText(const QStringList&, Streams& io) {
    io.err << "lineara-cli: load-text is not available yet\n";
    return kExitFailure;
}

}  // namespace lineara::cli
