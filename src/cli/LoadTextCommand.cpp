#include "cli/CliCommand.h"

#include "sample/KennelTextLoader.h"
#include "store/StoreError.h"

namespace lineara::cli {

namespace {

void Report(QTextStream& stream, const QString& source, const KennelText::Issue& issue,
            const char* kind) {
    stream << "lineara-cli: " << source;
    if (issue.line > 0) {
        stream << ":" << issue.line;
    }
    stream << ": " << kind << issue.message << "\n";
}

}  // namespace

int RunLoadText(const QStringList& args, Streams& io) {
    if (args.size() != 2 || args[0].startsWith(QLatin1String("--")) ||
        args[1].startsWith(QLatin1String("--"))) {
        io.err << "usage: lineara-cli load-text SOURCE FILE\n";
        return kExitUsage;
    }
    const QString& source = args[0];
    const QString& target = args[1];
    try {
        const KennelText kennel = BuildKennelDatabase(source, target);
        for (const KennelText::Issue& warning : kennel.Warnings()) {
            Report(io.err, source, warning, "warning: ");
        }
        const auto count = kennel.Dogs().size();
        io.out << "Loaded " << count << (count == 1 ? " dog" : " dogs") << " from " << source
               << " into " << target << "\n";
        return kExitOk;
    } catch (const KennelTextError& error) {
        for (const KennelText::Issue& issue : error.Issues()) {
            Report(io.err, source, issue, "");
        }
        io.err << "lineara-cli: " << target << " was not made\n";
    } catch (const StoreError& error) {
        io.err << "lineara-cli: " << error.File() << ": " << error.Reason() << "\n";
    } catch (const sqlite::Error& error) {
        io.err << "lineara-cli: " << target << ": " << error.what() << "\n";
    }
    return kExitFailure;
}

}  // namespace lineara::cli
