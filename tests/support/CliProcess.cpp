#include "support/CliProcess.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace lineara::test {

CliResult RunCliProcess(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(LINEARA_CLI_PATH), args);
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

bool KillCliAfter(const QStringList& args, int milliseconds) {
    QProcess process;
    process.start(QStringLiteral(LINEARA_CLI_PATH), args);
    EXPECT_TRUE(process.waitForStarted(10000));
    if (process.waitForFinished(milliseconds)) {
        return false;
    }
    process.kill();
    process.waitForFinished(10000);
    return true;
}

}  // namespace lineara::test
