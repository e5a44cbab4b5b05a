#include "records/FindDogSearch.h"
#include "store/DogDatabase.h"
#include "store/DogSchema.h"
#include "store/LayoutUpgrade.h"
#include "store/StoreError.h"
#include "support/CliProcess.h"
#include "support/OldLayouts.h"
#include "support/TableSnapshot.h"
#include "support/TempWorkDir.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace lineara {
namespace {

QByteArray FileHash(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QStringList DogRows(const QString& path) {
    QStringList rows = test::SnapshotRows(path);
    rows.removeIf([](const QString& row) { return !row.startsWith(QLatin1String("DogInfo\t")); });
    return rows;
}

int VersionOf(const QString& path) {
    sqlite::Connection connection(path, SQLITE_OPEN_READONLY);
    return LayoutVersionOf(connection);
}

QString ReasonOpening(const QString& path) {
    try {
        DogDatabase::Open(path);
    } catch (const StoreError& error) {
        return error.Reason();
    }
    return {};
}

std::vector<test::OldDog> SomeDogs(int count) {
    std::vector<test::OldDog> dogs;
    const QStringList names = {QStringLiteral("Misty Morning"), QStringLiteral("Straße Blue"),
                               QStringLiteral("Müllerhof Bold Gem"), QString(), QStringLiteral("Ch. Rex's \"Pride\"")};
    for (int i = 0; i < count; ++i) {
        const QString name = names[i % names.size()];
        dogs.push_back({name.isNull() ? QString() : name + QStringLiteral(" %1").arg(i), i % 2 == 0, i / 2, 0});
    }
    return dogs;
}

class CountingUpgrade : public SilentLayoutUpgrade {
public:
    bool Announce(const QString& path) override {
        announced << path;
        return answer;
    }
    QStringList announced;
    bool answer = true;
};

TEST(LayoutUpgradeTest, AnOlderFileIsUpgradedOnceWhenAllowedAndRefusedUntouchedOtherwise) {
    test::TempWorkDir work;
    const QString path = work.File(QStringLiteral("Old Kennel.mdb"));
    test::CreateLayout1Database(path, SomeDogs(40));
    const QByteArray before = FileHash(path);
    const QStringList rows = DogRows(path);

    // No policy (the command line): refused, naming the way out.
    EXPECT_TRUE(ReasonOpening(path).contains(QLatin1String("lineara-cli upgrade")));
    CountingUpgrade policy;
    ScopedLayoutUpgradePolicy scoped(&policy);
    policy.answer = false;
    EXPECT_TRUE(ReasonOpening(path).contains(QLatin1String("not upgraded")));
    EXPECT_EQ(FileHash(path), before);

    policy.answer = true;
    policy.announced.clear();
    {
        RecordStore store(path);
        EXPECT_EQ(policy.announced, QStringList{path});
        EXPECT_EQ(VersionOf(path), schema::kSchemaVersion);
        EXPECT_EQ(FindDogs(store, QStringLiteral("STRASSE"), -1).count_text, QStringLiteral("8 dogs found"));
        EXPECT_EQ(FindDogs(store, QStringLiteral("bold gem 1"), -1).dogs.size(), 2u);  // 12 and 17
    }
    EXPECT_EQ(DogRows(path), rows);
    { RecordStore again(path); }  // said once: the next opening asks nothing
    EXPECT_EQ(policy.announced.size(), 1);
}

TEST(LayoutUpgradeTest, ReadOnlyAndNewerFilesAreRefusedAndNeverTouched) {
    test::TempWorkDir work;
    CountingUpgrade policy;
    ScopedLayoutUpgradePolicy scoped(&policy);

    const QString read_only = work.File(QStringLiteral("Read Only.mdb"));
    test::CreateLayout1Database(read_only, SomeDogs(5));
    QFile::setPermissions(read_only, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    const QByteArray read_only_bytes = FileHash(read_only);
    const QString read_only_reason = ReasonOpening(read_only);
    EXPECT_TRUE(read_only_reason.contains(QLatin1String("read-only")) &&
                read_only_reason.contains(QLatin1String("upgraded")))
        << read_only_reason.toStdString();
    EXPECT_EQ(FileHash(read_only), read_only_bytes);

    const QString newer = work.File(QStringLiteral("Newer.mdb"));
    DogDatabase::Create(newer);
    {
        sqlite::Connection connection(newer, SQLITE_OPEN_READWRITE);
        connection.Execute(QStringLiteral("PRAGMA user_version = %1").arg(schema::kSchemaVersion + 1).toUtf8().constData());
    }
    const QByteArray newer_bytes = FileHash(newer);
    EXPECT_TRUE(ReasonOpening(newer).contains(QLatin1String("newer version")));
    EXPECT_EQ(FileHash(newer), newer_bytes);
    EXPECT_TRUE(policy.announced.isEmpty());
}

TEST(LayoutUpgradeTest, AFailureOrAKillPartWayLeavesTheOldFileOrTheWholeUpgrade) {
    test::TempWorkDir work;
    const QString original = work.File(QStringLiteral("Original.mdb"));
    test::CreateLayout1Database(original, SomeDogs(20000));
    const QStringList before = test::SnapshotRows(original);
    const QStringList dogs = DogRows(original);

    for (const qint64 k : {1, 10, 19}) {  // one step per thousand dogs indexed
        sqlite::Connection connection(original, SQLITE_OPEN_READWRITE);
        NoProgress progress;
        EXPECT_THROW(UpgradeLayout(connection, 1, progress, FailAfter(k)), InjectedFailure) << k;
        EXPECT_EQ(test::SnapshotRows(original), before) << k;
    }

    QRandomGenerator random(12);
    int killed = 0;
    for (int round = 0; round < 4; ++round) {
        const QString path = work.File(QStringLiteral("Copy %1.mdb").arg(round));
        ASSERT_TRUE(QFile::copy(original, path));
        killed += test::KillCliAfter({QStringLiteral("upgrade"), path}, 20 + static_cast<int>(random.bounded(300))) ? 1 : 0;
        // A kill leaves the journal behind; the next writer rolls it back, as the program's
        // next open of the file does. A read-only look first would fail on it.
        {
            sqlite::Connection recover(path, SQLITE_OPEN_READWRITE);
            recover.QueryInteger("SELECT count(*) FROM sqlite_master");
        }
        if (VersionOf(path) == 1) {
            EXPECT_EQ(test::SnapshotRows(path), before) << round;
        } else {
            EXPECT_EQ(DogRows(path), dogs) << round;
        }
        const test::CliResult finish = test::RunCliProcess({QStringLiteral("upgrade"), path});
        EXPECT_EQ(finish.status, 0) << finish.err.toStdString();
        EXPECT_EQ(DogRows(path), dogs);
        sqlite::Connection check(path, SQLITE_OPEN_READWRITE);
        EXPECT_NO_THROW(check.Execute("INSERT INTO DogNameIndex(DogNameIndex, rank) VALUES ('integrity-check', 1)"));
        EXPECT_EQ(check.QueryInteger("SELECT count(*) FROM DogNameIndex WHERE DogNameIndex MATCH '\"ist\"'"), 4000);
    }
    EXPECT_GT(killed, 0) << "no kill happened during an upgrade; the test proved nothing";
}

}  // namespace
}  // namespace lineara
