#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace lineara::test {

// One finished run of lineara-cli.
struct CliResult {
    int status = -1;
    QByteArray out;
    QString err;
};

// Runs lineara-cli with the arguments in the process's working folder and waits for it.
CliResult RunCliProcess(const QStringList& args);

// Starts lineara-cli with the arguments and kills it (SIGKILL) after the given number of
// milliseconds, unless it has ended by then. True when it was killed while still running.
bool KillCliAfter(const QStringList& args, int milliseconds);

}  // namespace lineara::test
