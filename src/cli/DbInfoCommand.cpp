#include "cli/CliCommand.h"

#include "maintenance/DatabaseFiles.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

#include <QFileInfo>

namespace lineara::cli {

int RunDbInfo(const QStringList& args, Streams& io) {
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        io.err << "usage: lineara-cli dbinfo FILE\n";
        return kExitUsage;
    }
    try {
        const std::shared_ptr<DogDatabase> database = DogDatabase::Open(args.first());
        const qint64 records = database->CountRows();
        QString text = DatabaseInfoText(args.first(), QFileInfo(args.first()).size(), records);
        io.out << text.replace(u'\r', u'\n');
    } catch (const StoreError& error) {
        io.err << "lineara-cli dbinfo: " << error.File() << ": " << error.Reason() << "\n";
        return kExitUsage;
    }
    return kExitOk;
}

}  // namespace lineara::cli
