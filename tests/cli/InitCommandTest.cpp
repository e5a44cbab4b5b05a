#include "store/RecordStore.h"
#include "support/TempWorkDir.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace lineara {
namespace {

int Init(const QStringList& args, QString* err = nullptr) {
    QProcess process;
    process.start(QStringLiteral(LINEARA_CLI_PATH), QStringList{QStringLiteral("init")} + args);
    EXPECT_TRUE(process.waitForFinished(30000));
    if (err) {
        *err = QString::fromUtf8(process.readAllStandardError());
    }
    return process.exitCode();
}

TEST(InitCommand, CreatesAnEmptyDatabaseAndNeverReplacesAFile) {
    test::TempWorkDir work;
    const QString path = work.File(QStringLiteral("New Kennel.mdb"));
    ASSERT_EQ(Init({path}), 0);
    {
        RecordStore store(path);
        EXPECT_TRUE(store.Eof());
        store.MoveLast();
        EXPECT_EQ(store.RecordCount(), 0);
    }

    const QString notes = work.File(QStringLiteral("notes.mdb"));
    {
        QFile file(notes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("my notes");
    }
    QString err;
    EXPECT_EQ(Init({notes}, &err), 2);
    EXPECT_TRUE(err.contains(QStringLiteral("already exists"))) << err.toStdString();
    QFile kept(notes);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "my notes");

    EXPECT_EQ(Init({}), 2);
    EXPECT_EQ(Init({path, path}), 2);
    EXPECT_EQ(Init({work.File(QStringLiteral("no/such/folder/x.mdb"))}), 2);
}

}  // namespace
}  // namespace lineara
