// lineara-cli: the command-line companion of LINEARA, sharing the program's own logic.

#include "cli/CliCommand.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <functional>
#include <map>

namespace {

void Usage(QTextStream& err) {
    err << "usage: lineara-cli COMMAND [ARGS]\n"
           "\n"
           "commands:\n"
           "  init FILE                  create an empty LINEARA database\n"
           "  load-text SOURCE FILE      build a database from a kennel text file\n"
           "  export FILE [OPTIONS]      write a dog's chart as text or HTML\n"
           "  print FILE --pdf OUT.pdf   print a dog's certificate to a PDF file\n"
           "  upgrade FILE               bring a database of an earlier version up to date\n"
           "  import-v3 DATFILE NEWDB    import a version-3 data file into a new database\n"
           "  info FILE --dog ID         count a dog's whole ancestry, or find the line that loops\n"
           "  siblings FILE --dog ID     list a dog's full and half siblings\n"
           "  offspring FILE --dog ID    list a dog's offspring\n"
           "  coi FILE --dog ID [--gens 5..20] [--report PATH] [--store]\n"
           "                             a dog's coefficient of inbreeding and its report\n"
           "  coi FILE --sire ID --dam ID [--gens 5..20] [--report PATH]\n"
           "                             a trial mating: the puppy's coefficient and the pair's relationship\n"
           "  coi FILE --all [--gens 5..20|all] [--store] [--csv PATH]\n"
           "                             every dog's coefficient of inbreeding\n"
           "  rank-sires FILE --dam ID [--gens 5..20] [--all-males] [--limit K]\n"
           "                             the sires for a dam, lowest litter coefficient first\n"
           "  clear-ic FILE              clear every dog's stored inbreeding coefficient\n"
           "  export-csv FILE OUT.csv [--root ID --gens 2..20]\n"
           "                             write every dog, or a dog and its ancestry, as CSV\n"
           "  import-csv FILE IN.csv [--map COLUMN=FIELD ...] [--dry-run]\n"
           "                             add the dogs of a CSV file, then fold duplicates\n"
           "  dbinfo FILE                file name, size in kB and number of records\n"
           "  create FILE                a new database holding only the placeholder dog\n"
           "  merge FILE OTHER           merge OTHER into FILE, then clean up duplicates\n"
           "  clean FILE                 fold duplicate entries of FILE together\n";
}

}  // namespace

int main(int argc, char** argv) {
    // Text measurement (chart exports) needs a GUI application; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Qt would take options such as --style or -platform out of the command line for itself;
    // the commands' own options come first, so Qt sees the program name only.
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    int qt_argc = 1;
    QGuiApplication app(qt_argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    lineara::cli::Streams io{out, err};

    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        Usage(args.isEmpty() ? err : out);
        return args.isEmpty() ? lineara::cli::kExitUsage : lineara::cli::kExitOk;
    }
    const std::map<QString, std::function<int(const QStringList&, lineara::cli::Streams&)>> commands{
        {QStringLiteral("init"), lineara::cli::RunInit},
        {QStringLiteral("load-text"), lineara::cli::RunLoadText},
        {QStringLiteral("export"), lineara::cli::RunExport},
        {QStringLiteral("print"), lineara::cli::RunPrint},
        {QStringLiteral("upgrade"), lineara::cli::RunUpgrade},
        {QStringLiteral("import-v3"), lineara::cli::RunImportV3},
        {QStringLiteral("info"), lineara::cli::RunInfo},
        {QStringLiteral("siblings"), lineara::cli::RunSiblings},
        {QStringLiteral("offspring"), lineara::cli::RunOffspring},
        {QStringLiteral("coi"), lineara::cli::RunCoi},
        {QStringLiteral("clear-ic"), lineara::cli::RunClearIc},
        {QStringLiteral("export-csv"), lineara::cli::RunExportCsv},
        {QStringLiteral("import-csv"), lineara::cli::RunImportCsv},
        {QStringLiteral("dbinfo"), lineara::cli::RunDbInfo},
        {QStringLiteral("create"), lineara::cli::RunCreate},
        {QStringLiteral("merge"), lineara::cli::RunMerge},
        {QStringLiteral("clean"), lineara::cli::RunClean},
        {QStringLiteral("rank-sires"), lineara::cli::RunRankSires},
    };
    const QString name = args.takeFirst();
    const auto it = commands.find(name);
    if (it == commands.end()) {
        err << "lineara-cli: unknown command \"" << name << "\"\n";
        Usage(err);
        return lineara::cli::kExitUsage;
    }
    return it->second(args, io);
}
