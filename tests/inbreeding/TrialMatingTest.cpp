#include "inbreeding/TrialMating.h"

#include "inbreeding/BulkInbreeding.h"
#include "inbreeding/InbreedingReport.h"

#include "store/DogDatabase.h"
#include "store/StoreError.h"

#include "support/CliProcess.h"
#include "support/MemoryPedigree.h"
#include "support/RandomHerd.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <QFile>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <bit>
#include <cmath>
#include <map>
#include <memory>
#include <random>

namespace lineara {
namespace {

using Herd = test::MemoryPedigree;
using test::RandomHerd;

qint32 AnyDog(std::mt19937& random, const Herd& h) {
    auto it = h.dogs.begin();
    std::advance(it, std::uniform_int_distribution<std::ptrdiff_t>(
                         0, static_cast<std::ptrdiff_t>(h.dogs.size()) - 1)(random));
    return it->first;
}

PedigreeTable TableOf(const Herd& herd) {
    return MakePedigreeTable({herd.dogs.begin(), herd.dogs.end()});
}

quint64 Bits(double value) {
    return std::bit_cast<quint64>(value);
}

void ExpectSame(const InbreedingAnalysis& trial, const InbreedingAnalysis& real,
                const std::string& what) {
    ASSERT_EQ(Bits(trial.coefficient), Bits(real.coefficient))
        << what << ": " << trial.coefficient << " vs " << real.coefficient;
    ASSERT_EQ(trial.entries_filled, real.entries_filled) << what;
    ASSERT_EQ(trial.deepest_generation, real.deepest_generation) << what;
    ASSERT_EQ(trial.complete_generations, real.complete_generations) << what;
    ASSERT_EQ(trial.ancestors.size(), real.ancestors.size()) << what;
    for (std::size_t i = 0; i < trial.ancestors.size(); ++i) {
        ASSERT_EQ(Bits(trial.ancestors[i].contribution), Bits(real.ancestors[i].contribution))
            << what << " row " << i;
        ASSERT_EQ(trial.ancestors[i], real.ancestors[i]) << what << " row " << i;
    }
}

TEST(TrialMating, EqualsARealPuppyOfThePairAtEveryDepth) {
    std::mt19937 random(1412);
    int inbred = 0;
    for (int round = 0; round < 160; ++round) {
        const bool loops = round % 5 == 4;
        Herd h = RandomHerd(random, loops);
        const qint32 sire = AnyDog(random, h);
        qint32 dam = AnyDog(random, h);
        if (!loops && dam == sire) {
            dam = h.dogs.begin()->first == sire ? h.dogs.rbegin()->first : h.dogs.begin()->first;
        }
        // The literal walk the engine falls back to on loops doubles with every generation.
        const int generations = loops ? 5 + round % 5 : 5 + round % 16;
        const TrialMating trial = ComputeTrialMating(sire, dam, generations, h.Lookup());
        const qint32 puppy = h.Add(900000, sire, dam);
        const InbreedingAnalysis real = ComputeInbreeding(puppy, generations, h.Lookup());
        ExpectSame(trial.analysis, real, "round " + std::to_string(round));
        const InbreedingAnalysis literal =
            ComputeInbreedingLiterally(puppy, std::min(generations, 9), h.Lookup());
        const TrialMating shallow =
            ComputeTrialMating(sire, dam, std::min(generations, 9), h.Lookup());
        ExpectSame(shallow.analysis, literal, "literal, round " + std::to_string(round));
        inbred += trial.analysis.coefficient > 0 ? 1 : 0;
    }
    EXPECT_GT(inbred, 80);
}

TEST(TrialMating, RelationshipOfKnownPairs) {
    Herd h;
    h.Add(1);
    h.Add(2);
    h.Add(3, 1, 2);
    h.Add(4, 1, 2);  // 3 and 4: full siblings
    h.Add(5);
    h.Add(6, 1, 5);  // 3 and 6: half siblings
    h.Add(7);
    h.Add(8, 3, 4);  // inbred, 25 %
    const ParentLookup parents = h.Lookup();
    auto r = [&](qint32 x, qint32 y) { return ComputeTrialMating(x, y, 10, parents).relationship; };
    EXPECT_EQ(r(3, 3), 1.0);
    EXPECT_EQ(r(8, 8), 1.0) << "an inbred dog with itself";
    EXPECT_EQ(ComputeTrialMating(8, 8, 10, parents).analysis.coefficient, 0.0)
        << "the walk finds no independent lines when the sire is the dam";
    EXPECT_EQ(ComputeTrialMating(8, 8, 10, parents).all_generations, 0.625)
        << "the textbook 1/2 (1 + F)";
    EXPECT_EQ(r(3, 4), 0.5);
    EXPECT_EQ(r(3, 6), 0.25);
    EXPECT_EQ(r(1, 3), 0.5) << "parent and offspring";
    EXPECT_EQ(r(3, 7), 0.0);
    EXPECT_EQ(r(5, 7), 0.0);
    // 8 (F = 1/4) with its sire 3 (F = 0): 2 F_P / sqrt(1.25).
    const TrialMating back = ComputeTrialMating(3, 8, 10, parents);
    EXPECT_DOUBLE_EQ(back.relationship, 2 * back.analysis.coefficient / std::sqrt(1.25));
    EXPECT_DOUBLE_EQ(back.analysis.coefficient, 0.375);
}

// The whole relationship table, one row and column per dog in DogID order (parents first).
double TabularKinship(const Herd& h, qint32 x, qint32 y) {
    std::map<qint32, int> index;
    for (const auto& [id, p] : h.dogs) {
        index.emplace(id, static_cast<int>(index.size()));
    }
    const std::size_t n = index.size();
    std::vector<double> a(n * n, 0.0);
    auto at = [&](int i, int j) -> double& {
        return a[static_cast<std::size_t>(i) * n + static_cast<std::size_t>(j)];
    };
    auto of = [&](qint32 id) {
        const auto f = index.find(id);
        return f == index.end() ? -1 : f->second;
    };
    for (const auto& [id, p] : h.dogs) {
        const int j = index.at(id);
        const int s = of(p.sire);
        const int d = of(p.dam);
        for (int i = 0; i < j; ++i) {
            at(i, j) = at(j, i) = 0.5 * ((s < 0 ? 0 : at(i, s)) + (d < 0 ? 0 : at(i, d)));
        }
        at(j, j) = 1 + 0.5 * (s < 0 || d < 0 ? 0 : at(s, d));
    }
    return at(index.at(x), index.at(y)) / 2;
}

TEST(TrialMating, AllGenerationsIsTheTextbookCoefficient) {
    Herd h;
    h.Add(1);
    h.Add(2);
    h.Add(3, 1, 2);
    h.Add(4, 1, 2);
    h.Add(5);
    h.Add(6, 1, 5);
    h.Add(7);
    h.Add(8);
    h.Add(9, 3, 7);  // 9 and 10: first cousins
    h.Add(10, 4, 8);
    const ParentLookup parents = h.Lookup();
    EXPECT_EQ(KinshipOverAllGenerations(3, 4, parents), 0.25);
    EXPECT_EQ(KinshipOverAllGenerations(3, 6, parents), 0.125);
    EXPECT_EQ(KinshipOverAllGenerations(1, 3, parents), 0.25);
    EXPECT_EQ(KinshipOverAllGenerations(9, 10, parents), 0.0625);
    EXPECT_EQ(KinshipOverAllGenerations(3, 7, parents), 0.0);
    EXPECT_EQ(KinshipOverAllGenerations(3, 999, parents), 0.0) << "no such dog";
    EXPECT_EQ(ComputeTrialMating(9, 10, 5, parents).all_generations, 0.0625);

    std::mt19937 random(2026);
    for (int round = 0; round < 150; ++round) {
        const Herd herd = RandomHerd(random, false);
        const qint32 x = AnyDog(random, herd);
        qint32 y = AnyDog(random, herd);
        if (y == x) {
            y = herd.dogs.begin()->first == x ? herd.dogs.rbegin()->first
                                              : herd.dogs.begin()->first;
        }
        const double table = TabularKinship(herd, x, y);
        const double kinship = KinshipOverAllGenerations(x, y, herd.Lookup());
        ASSERT_NEAR(kinship, table, 1e-15) << "round " << round;
        // Pairs worked out one after another, each reusing what the ones before learnt.
        KnownAncestries known;
        for (int pair = 0; pair < 4; ++pair) {
            const qint32 a = AnyDog(random, herd);
            const qint32 b = AnyDog(random, herd);
            if (a != b) {
                ASSERT_NEAR(KinshipOverAllGenerations(a, b, herd.Lookup(), &known), TabularKinship(herd, a, b), 1e-15)
                    << "round " << round << " pair " << pair;
            }
        }
        // The whole herd worked out at once gives every pair the same figure.
        const std::unique_ptr<AllGenerationsPedigree> whole = AllGenerationsPedigree::Make(TableOf(herd));
        ASSERT_TRUE(whole);
        for (int pair = 0; pair < 4; ++pair) {
            const qint32 a = AnyDog(random, herd);
            const qint32 b = pair == 0 ? a : AnyDog(random, herd);
            ASSERT_NEAR(whole->Kinship(a, b), TabularKinship(herd, a, b), 1e-15) << "round " << round << " pair " << pair;
        }
        ASSERT_NEAR(whole->Kinship(x, y), kinship, 1e-15) << "round " << round;
        EXPECT_EQ(whole->Kinship(x, 999999), 0.0) << "no such dog";
        // Every ancestry here lies within 13 generations, so the deepest report agrees.
        const TrialMating deep = ComputeTrialMating(x, y, 15, herd.Lookup());
        ASSERT_NEAR(deep.all_generations, deep.analysis.coefficient, 1e-14) << "round " << round;
    }
}

TEST(TrialMating, ALoopInTheDataEndsTheWalk) {
    Herd h;
    h.Add(1, 3, 0);  // 1 is its own grandsire
    h.Add(2, 1, 0);
    h.Add(3, 2, 0);
    h.Add(4, 2, 3);
    const double f = KinshipOverAllGenerations(3, 4, h.Lookup());
    EXPECT_TRUE(std::isfinite(f));
    EXPECT_GT(f, 0.0);
    EXPECT_LT(f, 1.0);
    // Which link a whole-pedigree walk leaves out depends on where it starts, so such a
    // pedigree is not worked out as a whole.
    EXPECT_FALSE(AllGenerationsPedigree::Make(TableOf(h)));
}

QList<QByteArray> ReportLines(const QByteArray& report) {
    QList<QByteArray> lines = report.split('\n');
    lines.removeLast();
    for (QByteArray& line : lines) {
        line.chop(1);
    }
    return lines;
}

TEST(TrialMating, ReportIsTheRealPuppysWithItsOwnNameAndTwoMoreLines) {
    test::TempWorkDir work;
    const QString path = work.File(QStringLiteral("Kennel.mdb"));
    test::CreateDatabase(path);
    qint32 sire = 0;
    qint32 dam = 0;
    qint32 puppy = 0;
    {
        RecordStore store(path);
        const qint32 grandsire =
            test::AddTestDog(store, QStringLiteral("Ch Grandsire {of} \\Hill"));
        const qint32 granddam = test::AddTestDog(store, QStringLiteral("Granddam"), false);
        const qint32 other = test::AddTestDog(store, QStringLiteral("Other Dam"), false);
        sire = test::AddTestDog(store, QStringLiteral("  Sire  "), true, grandsire, granddam);
        dam = test::AddTestDog(store, QStringLiteral("Dam"), false, grandsire, other);
        puppy = test::AddTestDog(store, QStringLiteral("Puppy"), true, sire, dam);
    }
    auto database = DogDatabase::Open(path);
    const TrialMatingRun trial = RunTrialMating(*database, sire, dam, 6);
    const InbreedingRun real = RunInbreedingAnalysis(*database, puppy, 6);
    EXPECT_EQ(trial.mating.analysis, real.analysis);
    EXPECT_EQ(trial.mating.analysis.coefficient, 0.125);
    EXPECT_EQ(trial.mating.relationship, 0.25);
    EXPECT_EQ(trial.mating.all_generations, 0.125);

    QList<QByteArray> trial_lines = ReportLines(trial.report);
    QList<QByteArray> real_lines = ReportLines(real.report);
    ASSERT_EQ(trial_lines.size(), real_lines.size() + 3);
    EXPECT_EQ(trial_lines[5], "\\b\\fs36Trial mating\\b0\\par");
    EXPECT_EQ(trial_lines[6], "\\fs20by Sire out of Dam\\par");
    const qsizetype after_table = 24 + static_cast<qsizetype>(real.analysis.ancestors.size());
    EXPECT_EQ(trial_lines[after_table], "\\fs16\\par");
    EXPECT_EQ(trial_lines[after_table + 1], "\\b\\fs20Relationship Coefficient = 25.00%\\par\\b0");
    EXPECT_EQ(trial_lines[after_table + 2],
              "\\b\\fs20Inbreeding Coefficient over all known generations = 12.50%\\par\\b0");
    EXPECT_TRUE(trial_lines[after_table + 4].startsWith("\\b\\fs16Percent of Blood: "));
    trial_lines.remove(after_table, 3);
    trial_lines[5] = real_lines[5];
    EXPECT_EQ(trial_lines, real_lines);

    EXPECT_THROW(RunTrialMating(*database, sire, 999, 6), StoreError);
    EXPECT_THROW(RunTrialMating(*database, 0, dam, 6), StoreError);

    // What a trial mating learns of the pedigree is kept for the next one, and forgotten as
    // soon as the pedigree changes. Through this connection the dam becomes a full sister of
    // the sire; then another program makes the two unrelated.
    auto row = database->ReadRow(dam);
    row->SetValue(Field::DamID, database->ReadRow(sire)->Value(Field::DamID));
    DogDatabase::FieldMask dam_only;
    dam_only.set(static_cast<std::size_t>(IndexOf(Field::DamID)));
    {
        // The dialog's preparation, started before that change, is not used after it.
        TrialMatingPreparation early(*database);
        early.Wait();
        EXPECT_TRUE(RunTrialMating(*database, sire, dam, 6).prepared);
        database->UpdateRow(dam, *row, dam_only);
    }
    const TrialMatingRun sisters = RunTrialMating(*database, sire, dam, 6);
    EXPECT_FALSE(sisters.prepared);
    EXPECT_EQ(sisters.mating.all_generations, 0.25);
    {
        TrialMatingPreparation preparation(*database);
        preparation.Wait();
        const TrialMatingRun prepared = RunTrialMating(*database, sire, dam, 6);
        EXPECT_TRUE(prepared.prepared);
        EXPECT_EQ(prepared.report, sisters.report);
        EXPECT_EQ(Bits(prepared.mating.analysis.coefficient), Bits(sisters.mating.analysis.coefficient));
        EXPECT_EQ(prepared.mating.all_generations, 0.25);
    }
    sqlite::Connection shell(path, SQLITE_OPEN_READWRITE);
    shell.Execute(QStringLiteral("UPDATE DogInfo SET SireID = 0, DamID = 0 WHERE DogID = %1").arg(dam).toUtf8().constData());
    const TrialMatingRun unrelated = RunTrialMating(*database, sire, dam, 6);
    EXPECT_FALSE(unrelated.prepared);
    EXPECT_EQ(unrelated.mating.all_generations, 0.0);
    {
        // Nor is one started inside a write: it could not see what the write holds so far.
        DogDatabase::Transaction writing(*database);
        database->UpdateRow(dam, *row, dam_only);
        TrialMatingPreparation preparation(*database);
        preparation.Wait();
        EXPECT_FALSE(RunTrialMating(*database, sire, dam, 6).prepared);
    }
}

TEST(TrialMating, CommandLinePrintsBothFiguresAndWritesTheReport) {
    test::TempWorkDir work;
    const QString path = work.File(QStringLiteral("Kennel.mdb"));
    test::CreateDatabase(path);
    qint32 brother = 0;
    qint32 sister = 0;
    qint32 stranger = 0;
    {
        RecordStore store(path);
        const qint32 sire = test::AddTestDog(store, QStringLiteral("Sire"));
        const qint32 dam = test::AddTestDog(store, QStringLiteral("Dam"), false);
        brother = test::AddTestDog(store, QStringLiteral("Brother"), true, sire, dam);
        sister = test::AddTestDog(store, QStringLiteral("Sister"), false, sire, dam);
        stranger = test::AddTestDog(store, QStringLiteral("Stranger"), false);
    }
    const QString report = work.File(QStringLiteral("trial.rtf"));
    test::CliResult r = test::RunCliProcess(
        {QStringLiteral("coi"), path, QStringLiteral("--sire"), QString::number(brother),
         QStringLiteral("--dam=") + QString::number(sister), QStringLiteral("--gens"),
         QStringLiteral("7"), QStringLiteral("--report"), report});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "0.25 25.00%\nR 0.5 50.00%\n");
    QFile file(report);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = ReportLines(file.readAll());
    EXPECT_EQ(lines[5], "\\b\\fs36Trial mating\\b0\\par");
    EXPECT_EQ(lines[6], "\\fs20by Brother out of Sister\\par");
    EXPECT_TRUE(lines.contains("\\b\\fs20Relationship Coefficient = 50.00%\\par\\b0"));
    EXPECT_TRUE(lines.contains(
        "\\b\\fs20Inbreeding Coefficient over all known generations = 25.00%\\par\\b0"));

    r = test::RunCliProcess({QStringLiteral("coi"), path, QStringLiteral("--sire"),
                             QString::number(brother), QStringLiteral("--dam"),
                             QString::number(stranger)});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "0 0.00%\nR 0 0.00%\n");

    const QString id = QString::number(brother);
    const QStringList bad[] = {
        {QStringLiteral("coi"), path, QStringLiteral("--sire"), id},
        {QStringLiteral("coi"), path, QStringLiteral("--dam"), id},
        {QStringLiteral("coi"), path, QStringLiteral("--sire"), id, QStringLiteral("--dam"),
         QStringLiteral("999")},
        {QStringLiteral("coi"), path, QStringLiteral("--sire"), id, QStringLiteral("--dam"), id,
         QStringLiteral("--dog"), id},
        {QStringLiteral("coi"), path, QStringLiteral("--sire"), id, QStringLiteral("--dam"), id,
         QStringLiteral("--store")},
        {QStringLiteral("coi"), path, QStringLiteral("--sire"), QStringLiteral("-3"),
         QStringLiteral("--dam"), id},
        {QStringLiteral("coi"), path, QStringLiteral("--sire"), id, QStringLiteral("--dam"), id,
         QStringLiteral("--gens=21")},
        {QStringLiteral("coi"), path, QStringLiteral("--sire"), id, QStringLiteral("--dam"), id,
         QStringLiteral("--report"), work.File(QStringLiteral("no-such-folder/trial.rtf"))},
    };
    for (const QStringList& args : bad) {
        r = test::RunCliProcess(args);
        EXPECT_EQ(r.status, 2) << args.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_TRUE(r.out.isEmpty()) << args.join(u' ').toStdString();
    }
}

}  // namespace
}  // namespace lineara
