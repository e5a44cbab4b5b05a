#include "maintenance/OldDataFile.h"
#include "store/DogDatabase.h"
#include "support/CliProcess.h"
#include "support/TableSnapshot.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>

namespace lineara {
namespace {

QByteArray Kennel(int count) {
    std::vector<olddata::OldRecord> records(count);
    for (int k = 0; k < count; ++k) {
        records[k].SetText(olddata::kRegName, QStringLiteral("Dog %1").arg(k + 1));
        records[k].SetInt(olddata::kSireRef, static_cast<qint16>(k));  // the one before
    }
    return olddata::OldDataFileBytes(records);
}

TEST(V3ImportCli, ImportsAndRefusesToReplace) {
    test::TempWorkDir work;
    ASSERT_TRUE(olddata::WriteOldDataFile(QStringLiteral("old.dat"), Kennel(3)));
    const auto done = test::RunCliProcess({QStringLiteral("import-v3"), QStringLiteral("old.dat"),
                                           QStringLiteral("new.mdb")});
    EXPECT_EQ(done.status, 0) << done.err.toStdString();
    EXPECT_EQ(done.out, QByteArray("imported 3 dogs, skipped 0\n"));
    EXPECT_TRUE(QFile::exists(QStringLiteral("old.dat")));
    const QStringList rows = test::SnapshotRows(QStringLiteral("new.mdb"));
    const auto again = test::RunCliProcess({QStringLiteral("import-v3"), QStringLiteral("old.dat"),
                                            QStringLiteral("new.mdb")});
    EXPECT_EQ(again.status, 2);
    EXPECT_EQ(test::SnapshotRows(QStringLiteral("new.mdb")), rows);
    ASSERT_TRUE(olddata::WriteOldDataFile(QStringLiteral("bad.dat"), QByteArray(20, ' ')));
    const auto bad = test::RunCliProcess({QStringLiteral("import-v3"), QStringLiteral("bad.dat"),
                                          QStringLiteral("other.mdb")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("bad.dat")));
    EXPECT_FALSE(QFile::exists(QStringLiteral("other.mdb")));
}

// Killed at any moment, the command leaves either no new database or a complete one.
TEST(V3ImportCli, KilledPartWayLeavesNothingHalfMade) {
    test::TempWorkDir work;
    ASSERT_TRUE(olddata::WriteOldDataFile(QStringLiteral("old.dat"), Kennel(8000)));
    ASSERT_EQ(test::RunCliProcess({QStringLiteral("import-v3"), QStringLiteral("old.dat"),
                                   QStringLiteral("whole.mdb")})
                  .status,
              0);
    const QStringList whole = test::SnapshotRows(QStringLiteral("whole.mdb"));
    for (int round = 0; round < 6; ++round) {
        QFile::remove(QStringLiteral("new.mdb"));
        test::KillCliAfter({QStringLiteral("import-v3"), QStringLiteral("old.dat"),
                            QStringLiteral("new.mdb")},
                           QRandomGenerator::global()->bounded(20, 400));
        if (QFile::exists(QStringLiteral("new.mdb"))) {
            EXPECT_EQ(test::SnapshotRows(QStringLiteral("new.mdb")), whole);
        }
    }
}

}  // namespace
}  // namespace lineara
