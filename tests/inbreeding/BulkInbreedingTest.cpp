#include "inbreeding/BulkInbreeding.h"

#include "store/DogDatabase.h"
#include "store/RecordStore.h"

#include "support/CliProcess.h"
#include "support/MemoryPedigree.h"
#include "support/RandomHerd.h"
#include "support/TableSnapshot.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"
#include "inbreeding/LitterKennel.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

namespace lineara {
namespace {

using test::MemoryPedigree;

PedigreeTable TableOf(const MemoryPedigree& h) {
    std::vector<std::pair<qint32, Parents>> dogs(h.dogs.begin(), h.dogs.end());
    return MakePedigreeTable(std::move(dogs));
}

std::vector<double> AllGenerations(const PedigreeTable& table) {
    NoProgress quiet;
    return *CoefficientsOverAllGenerations(table, quiet);
}

// Says stop after a number of questions.
class CancelAfter : public NoProgress {
public:
    explicit CancelAfter(int questions) : left_(questions) {}
    bool CancelRequested() const override { return --left_ < 0; }

private:
    mutable int left_;
};

TEST(BulkInbreeding, EveryDogsFigureIsTheSingleDogAnalysisBitForBit) {
    std::mt19937 random(20261207);
    int shared = 0;
    for (int round = 0; round < 120; ++round) {
        const MemoryPedigree h = test::RandomHerd(random, round % 4 == 0, 0.4);
        const PedigreeTable table = TableOf(h);
        const int generations = 5 + round % 8;
        NoProgress quiet;
        const std::vector<double> bulk = *CoefficientsAtDepth(table, generations, quiet, 1 + round % 2);
        ASSERT_EQ(bulk.size(), table.Count());
        for (std::size_t i = 0; i < table.Count(); ++i) {
            const double single = ComputeInbreeding(table.ids[i], generations, h.Lookup()).coefficient;
            ASSERT_EQ(std::bit_cast<quint64>(bulk[i]), std::bit_cast<quint64>(single))
                << "round " << round << " dog " << table.ids[i] << " depth " << generations;
            shared += table.parents[i].sire != 0 && bulk[i] > 0;
        }
    }
    EXPECT_GT(shared, 100);  // the pedigrees are inbred enough to mean something
}

TEST(BulkInbreeding, ALitterMateThatIsItsOwnAncestorGetsItsOwnAnalysis) {
    // A and B are full siblings; the data makes A the dam of their sire.
    MemoryPedigree h;
    h.Add(1);
    h.Add(2);
    h.Add(3, 1, 2);  // dam of the litter
    h.Add(4, 1, 10);  // sire of the litter, out of A
    h.Add(10, 4, 3);  // A
    h.Add(11, 4, 3);  // B
    h.Add(12, 11, 3);
    const PedigreeTable table = TableOf(h);
    for (int generations : {5, 8, 12}) {
        NoProgress quiet;
        const std::vector<double> bulk = *CoefficientsAtDepth(table, generations, quiet);
        for (std::size_t i = 0; i < table.Count(); ++i) {
            EXPECT_EQ(std::bit_cast<quint64>(bulk[i]),
                      std::bit_cast<quint64>(ComputeInbreeding(table.ids[i], generations, h.Lookup()).coefficient))
                << table.ids[i] << " at " << generations;
        }
    }
}

TEST(BulkInbreeding, FarFlungDogIdsAreLookedUpWithoutAHugeTable) {
    MemoryPedigree h;
    h.Add(1);
    h.Add(2);
    h.Add(2000000000, 1, 2);
    h.Add(2000000001, 1, 2);
    h.Add(2147483647, 2000000000, 2000000001);
    const PedigreeTable table = TableOf(h);
    EXPECT_TRUE(table.index_of_id.empty());
    EXPECT_EQ(AllGenerations(table).back(), 0.25);
    NoProgress quiet;
    EXPECT_EQ(CoefficientsAtDepth(table, 5, quiet)->back(), ComputeInbreeding(2147483647, 5, h.Lookup()).coefficient);
    EXPECT_FALSE(table.Find(3).has_value());
}

TEST(BulkInbreeding, CancelGivesNothing) {
    std::mt19937 random(5);
    const PedigreeTable table = TableOf(test::RandomHerd(random, false, 0.3));
    CancelAfter at_once(0);
    EXPECT_FALSE(CoefficientsAtDepth(table, 10, at_once).has_value());
    CancelAfter soon(0);
    EXPECT_FALSE(CoefficientsOverAllGenerations(table, soon).has_value());
}

TEST(AllGenerations, PublishedValues) {
    // The textbook example (Mrode): 3 = 1 x 2, 4 = 1 x unknown, 5 = 4 x 3, 6 = 5 x 2;
    // the diagonal of the relationship matrix is 1, 1, 1, 1, 1.125, 1.125.
    MemoryPedigree mrode;
    mrode.Add(1);
    mrode.Add(2);
    mrode.Add(3, 1, 2);
    mrode.Add(4, 1, 0);
    mrode.Add(5, 4, 3);
    mrode.Add(6, 5, 2);
    const std::vector<double> f = AllGenerations(TableOf(mrode));
    EXPECT_EQ(f, (std::vector<double>{0, 0, 0, 0, 0.125, 0.125}));

    // Offspring of full siblings 1/4, half siblings 1/8, parent x offspring 1/4, first
    // cousins 1/16; of two full siblings that are both offspring of full siblings 3/8.
    MemoryPedigree h;
    h.Add(1);
    h.Add(2);
    h.Add(3, 1, 2);
    h.Add(4, 1, 2);
    h.Add(5, 3, 4);   // full siblings' offspring
    h.Add(6);
    h.Add(7, 1, 6);
    h.Add(8, 3, 7);   // half siblings (both out of 1)
    h.Add(9, 1, 3);   // parent x offspring
    h.Add(10);
    h.Add(11);
    h.Add(12, 3, 10);
    h.Add(13, 11, 4);
    h.Add(14, 12, 13);  // first cousins
    h.Add(15);
    h.Add(16, 3, 4);    // a full sibling of 5
    h.Add(17, 5, 16);   // two full siblings, both inbred 1/4
    const std::vector<double> g = AllGenerations(TableOf(h));
    EXPECT_EQ(g[4], 0.25);
    EXPECT_EQ(g[7], 0.125);
    EXPECT_EQ(g[8], 0.25);
    EXPECT_EQ(g[13], 0.0625);
    EXPECT_EQ(g[16], 0.375);
}

TEST(AllGenerations, EqualsTheTabularMethodAndTheDeepEnoughDesignFigure) {
    std::mt19937 random(77);
    for (int round = 0; round < 150; ++round) {
        const MemoryPedigree h = test::RandomHerd(random, round % 5 == 0, 0.3);
        const PedigreeTable table = TableOf(h);
        const std::vector<double> fast = AllGenerations(table);
        const std::vector<double> tabular = CoefficientsByTabularMethod(table);
        ASSERT_EQ(fast.size(), tabular.size());
        for (std::size_t i = 0; i < fast.size(); ++i) {
            ASSERT_NEAR(fast[i], tabular[i], 1e-14) << "round " << round << " dog " << table.ids[i];
        }
        if (round % 5 == 0) {
            continue;  // with loops the chart walk and the textbook figure part ways
        }
        // Every ancestry of these herds lies within 13 generations.
        for (std::size_t i = 0; i < fast.size(); ++i) {
            ASSERT_NEAR(fast[i], ComputeInbreeding(table.ids[i], 15, h.Lookup()).coefficient, 1e-14)
                << "round " << round << " dog " << table.ids[i];
        }
    }
}

TEST(BulkInbreedingStore, StoresEveryFigureOrNothing) {
    test::TempWorkDir work;
    const QString path = test::MakeLitterKennel(work, 40);
    const QStringList before = test::SnapshotRows(path);
    const std::shared_ptr<DogDatabase> database = DogDatabase::Open(path);
    const PedigreeTable table = ReadPedigreeTable(*database);
    ASSERT_EQ(table.Count(), 122u);
    for (const qint64 k : {1, 2, 60, 122}) {
        NoProgress quiet;
        EXPECT_THROW(RunAllCoefficients(*database, table, 10, true, quiet, FailAfter(k)), InjectedFailure) << k;
        EXPECT_EQ(test::SnapshotRows(path), before) << k;
    }
    for (const int questions : {0, 1, 2}) {
        CancelAfter cancel(questions);
        EXPECT_FALSE(RunAllCoefficients(*database, table, kAllKnownGenerations, true, cancel).has_value());
        EXPECT_EQ(test::SnapshotRows(path), before) << questions;
    }
    NoProgress quiet;
    const std::vector<double> figures = *RunAllCoefficients(*database, table, 7, true, quiet);
    for (std::size_t i = 0; i < table.Count(); ++i) {
        const std::optional<DogRecord> dog = database->ReadRow(table.ids[i]);
        ASSERT_TRUE(dog.has_value());
        EXPECT_EQ(dog->Value(Field::IC).toDouble(), figures[i]);
        EXPECT_EQ(figures[i], ComputeInbreeding(table.ids[i], 7, table.Lookup()).coefficient);
    }
}

TEST(BulkInbreedingCli, WritesTheCsvStoresAndRefusesBadRequests) {
    test::TempWorkDir work;
    const QString path = test::MakeLitterKennel(work, 30);
    const QStringList before = test::SnapshotRows(path);
    test::CliResult r = test::RunCliProcess({QStringLiteral("coi"), path, QStringLiteral("--all"),
                                             QStringLiteral("--csv"), work.File(QStringLiteral("ic.csv"))});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "computed 92 inbreeding coefficients over 10 generations\n");
    EXPECT_EQ(test::SnapshotRows(path), before);
    QFile csv(work.File(QStringLiteral("ic.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_EQ(lines.size(), 94);  // heading, 92 dogs, nothing after the last line end
    EXPECT_EQ(lines[0], "DogID,RegName,IC\r");
    EXPECT_EQ(lines[1], "1,Founder Dog,0\r");
    EXPECT_EQ(lines[2], "2,\"Founder, \"\"Bitch\"\"\",0\r");

    r = test::RunCliProcess({QStringLiteral("coi"), path, QStringLiteral("--all"), QStringLiteral("--gens"),
                             QStringLiteral("all"), QStringLiteral("--store")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "stored 92 inbreeding coefficients over all known generations\n");
    {
        const std::shared_ptr<DogDatabase> database = DogDatabase::Open(path);
        const PedigreeTable table = ReadPedigreeTable(*database);
        const std::vector<double> expected = AllGenerations(table);
        for (std::size_t i = 0; i < table.Count(); ++i) {
            EXPECT_EQ(database->ReadRow(table.ids[i])->Value(Field::IC).toDouble(), expected[i]);
        }
    }

    const QStringList stored = test::SnapshotRows(path);
    const QString all = QStringLiteral("--all");
    const QStringList bad[] = {
        {QStringLiteral("coi"), path, all, QStringLiteral("--dog"), QStringLiteral("1")},
        {QStringLiteral("coi"), path, all, QStringLiteral("--gens"), QStringLiteral("4")},
        {QStringLiteral("coi"), path, all, QStringLiteral("--gens"), QStringLiteral("every")},
        {QStringLiteral("coi"), path, all, QStringLiteral("--report"), QStringLiteral("r.rtf")},
        {QStringLiteral("coi"), path, QStringLiteral("--dog"), QStringLiteral("1"), QStringLiteral("--gens"),
         QStringLiteral("all")},
        {QStringLiteral("coi"), path, QStringLiteral("--dog"), QStringLiteral("1"), QStringLiteral("--csv"),
         QStringLiteral("x.csv")},
        // The file cannot be written: nothing is stored either.
        {QStringLiteral("coi"), path, all, QStringLiteral("--store"), QStringLiteral("--csv"),
         work.File(QStringLiteral("no/such/folder/ic.csv"))},
        {QStringLiteral("coi"), work.File(QStringLiteral("missing.mdb")), all},
    };
    for (const QStringList& args : bad) {
        r = test::RunCliProcess(args);
        EXPECT_EQ(r.status, 2) << args.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_EQ(test::SnapshotRows(path), stored);
}

// Killed at any moment, coi --all --store leaves every coefficient or none.
TEST(BulkInbreedingCli, KilledPartWayLeavesAllOrNothing) {
    test::TempWorkDir work;
    const QString original = test::MakeLitterKennel(work, 3000, QStringLiteral("Original.mdb"));
    const QStringList before = test::SnapshotRows(original);
    const QString done = work.File(QStringLiteral("Done.mdb"));
    ASSERT_TRUE(QFile::copy(original, done));
    const QStringList args{QStringLiteral("coi"), QStringLiteral("--all"), QStringLiteral("--gens"),
                           QStringLiteral("5"), QStringLiteral("--store")};
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(test::RunCliProcess(QStringList{args[0], done} + args.mid(1)).status, 0);
    const int whole = static_cast<int>(clock.elapsed());
    const QStringList after = test::SnapshotRows(done);
    ASSERT_NE(after, before);
    for (int round = 0; round < 6; ++round) {
        const QString copy = work.File(QStringLiteral("Round.mdb"));
        QFile::remove(copy);
        QFile::remove(copy + QStringLiteral("-journal"));
        ASSERT_TRUE(QFile::copy(original, copy));
        test::KillCliAfter(QStringList{args[0], copy} + args.mid(1), QRandomGenerator::global()->bounded(20, std::max(40, whole)));
        {
            const std::shared_ptr<DogDatabase> reopened = DogDatabase::Open(copy);  // rolls back
        }
        const QStringList now = test::SnapshotRows(copy);
        EXPECT_TRUE(now == before || now == after) << round;
    }
    RecordProperty("whole_run_ms", whole);
}

}  // namespace
}  // namespace lineara
