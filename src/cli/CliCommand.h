#pragma once

#include <QStringList>
#include <QTextStream>

namespace lineara::cli {

// Exit statuses of lineara-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct Streams {
    QTextStream& out;
    QTextStream& err;
};

// Each command takes the arguments after its name.
int RunInit(const QStringList& args, Streams& io);
int RunLoadText(const QStringList& args, Streams& io);
int RunExport(const QStringList& args, Streams& io);
int RunPrint(const QStringList& args, Streams& io);
int RunUpgrade(const QStringList& args, Streams& io);
int RunImportV3(const QStringList& args, Streams& io);
int RunInfo(const QStringList& args, Streams& io);
int RunSiblings(const QStringList& args, Streams& io);
int RunOffspring(const QStringList& args, Streams& io);
int RunCoi(const QStringList& args, Streams& io);
int RunClearIc(const QStringList& args, Streams& io);
int RunExportCsv(const QStringList& args, Streams& io);
int RunImportCsv(const QStringList& args, Streams& io);
int RunDbInfo(const QStringList& args, Streams& io);
int RunCreate(const QStringList& args, Streams& io);
int RunMerge(const QStringList& args, Streams& io);
int RunClean(const QStringList& args, Streams& io);
int RunRankSires(const QStringList& args, Streams& io);

}  // namespace lineara::cli
