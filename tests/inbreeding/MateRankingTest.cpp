#include "inbreeding/AllCoefficientsForm.h"
#include "inbreeding/BulkInbreeding.h"
#include "inbreeding/InbreedingReport.h"
#include "inbreeding/MateRanking.h"
#include "inbreeding/MateRankingForm.h"
#include "inbreeding/TrialMating.h"

#include "inbreeding/LitterKennel.h"
#include "store/DogDatabase.h"
#include "support/CliProcess.h"
#include "support/ScriptedPrompts.h"
#include "support/TableSnapshot.h"
#include "support/TempWorkDir.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>

namespace lineara {
namespace {

const QDate kToday(2026, 6, 1);

// Adds a dog to a database and returns its DogID.
qint32 AddDog(DogDatabase& database, const QString& name, bool male, qint32 sire = 0, qint32 dam = 0,
              const QDate& born = {}) {
    DogRecord dog;
    dog.SetValue(Field::RegName, name);
    dog.SetValue(Field::SexMale, male);
    dog.SetValue(Field::SireID, sire);
    dog.SetValue(Field::DamID, dam);
    if (born.isValid()) dog.SetValue(Field::DOB, born);
    return database.InsertRow(dog);
}

std::vector<qint32> Ids(const std::vector<SireCandidate>& candidates) {
    std::vector<qint32> ids;
    for (const SireCandidate& c : candidates) ids.push_back(c.dog_id);
    return ids;
}

TEST(MateRanking, CandidatesAreMalesWithOffspringOrBornInTheLastTwelveYears) {
    test::TempWorkDir work;
    const QString path = work.File(QStringLiteral("Kennel.mdb"));
    test::CreateDatabase(path);
    const std::shared_ptr<DogDatabase> db = DogDatabase::Open(path);
    const qint32 old_sire = AddDog(*db, QStringLiteral("Old Sire"), true, 0, 0, QDate(1990, 1, 1));
    const qint32 old_bitch = AddDog(*db, QStringLiteral("Old Bitch"), false, 0, 0, QDate(1991, 1, 1));
    const qint32 young = AddDog(*db, QStringLiteral("Young Dog"), true, old_sire, old_bitch, QDate(2015, 1, 1));
    const qint32 just_too_old = AddDog(*db, QStringLiteral("Old Dog"), true, 0, 0, QDate(2014, 5, 31));
    const qint32 twelve = AddDog(*db, QStringLiteral("Twelve"), true, 0, 0, QDate(2014, 6, 1));
    const qint32 undated = AddDog(*db, QStringLiteral("Undated"), true);
    const qint32 dam = AddDog(*db, QStringLiteral("The Dam"), false, young, old_bitch, QDate(2020, 1, 1));
    AddDog(*db, QStringLiteral("Young Bitch"), false, 0, 0, QDate(2022, 1, 1));

    EXPECT_EQ(Ids(SireCandidates(*db, dam, false, kToday)), (std::vector<qint32>{old_sire, young, twelve}));
    EXPECT_EQ(Ids(SireCandidates(*db, dam, true, kToday)),
              (std::vector<qint32>{old_sire, young, just_too_old, twelve, undated}));
    EXPECT_EQ(SireCandidates(*db, dam, false, kToday)[1].name, QStringLiteral("Young Dog"));
}

TEST(MateRanking, RanksByTheLittersCoefficientWithTheTrialMatingsFigures) {
    test::TempWorkDir work;
    const QString path = test::MakeLitterKennel(work, 120, QStringLiteral("Kennel.mdb"), QDate(2020, 1, 1));
    const std::shared_ptr<DogDatabase> db = DogDatabase::Open(path);
    const PedigreeTable table = ReadPedigreeTable(*db);
    const qint32 dam = table.ids.back() - 1;  // the last litter's bitch
    const std::vector<SireCandidate> candidates = SireCandidates(*db, dam, true);
    ASSERT_GT(candidates.size(), 100u);
    NoProgress quiet;
    std::vector<qint32> heard;
    const std::vector<RankedSire> ranked =
        *RankSires(table, dam, candidates, 8, quiet, [&heard](const RankedSire& line) { heard.push_back(line.sire.dog_id); });
    EXPECT_EQ(heard, Ids(candidates));  // each as it was computed, in the candidates' order
    ASSERT_EQ(ranked.size(), candidates.size());
    EXPECT_TRUE(std::is_sorted(ranked.begin(), ranked.end(), RanksBefore));
    int related = 0;
    for (const RankedSire& line : ranked) {
        const TrialMating trial = ComputeTrialMating(line.sire.dog_id, dam, 8, table.Lookup());
        ASSERT_EQ(std::bit_cast<quint64>(line.coefficient), std::bit_cast<quint64>(trial.analysis.coefficient));
        ASSERT_EQ(std::bit_cast<quint64>(line.relationship), std::bit_cast<quint64>(trial.relationship));
        related += line.relationship > 0;
    }
    EXPECT_GT(related, 50);
    EXPECT_LT(ranked.front().coefficient, ranked.back().coefficient);
    // Equal coefficients: lower relationship first.
    RankedSire a{{1, QStringLiteral("B")}, 0.1, 0.2};
    RankedSire b{{2, QStringLiteral("A")}, 0.1, 0.3};
    EXPECT_TRUE(RanksBefore(a, b));
    b.relationship = 0.2;
    EXPECT_TRUE(RanksBefore(b, a));  // then by name

}

TEST(MateRanking, CommandLine) {
    test::TempWorkDir work;
    const QString path = test::MakeLitterKennel(work, 20, QStringLiteral("Kennel.mdb"), QDate(2020, 1, 1));
    const std::shared_ptr<DogDatabase> db = DogDatabase::Open(path);
    const PedigreeTable table = ReadPedigreeTable(*db);
    const qint32 dam = table.ids.back() - 1;
    NoProgress quiet;
    const std::vector<RankedSire> ranked = *RankSires(table, dam, SireCandidates(*db, dam, false), 10, quiet);
    test::CliResult r = test::RunCliProcess(
        {QStringLiteral("rank-sires"), path, QStringLiteral("--dam"), QString::number(dam), QStringLiteral("--limit=3")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QByteArray expected;
    for (std::size_t i = 0; i < 3; ++i) {
        expected += QStringLiteral("%1\t%2\t%3\t%4\n")
                        .arg(ranked[i].sire.dog_id)
                        .arg(PercentText(ranked[i].coefficient), PercentText(ranked[i].relationship),
                             ranked[i].sire.name)
                        .toUtf8();
    }
    EXPECT_EQ(r.out, expected);
    r = test::RunCliProcess({QStringLiteral("rank-sires"), path, QStringLiteral("--dam"), QString::number(dam),
                             QStringLiteral("--all-males"), QStringLiteral("--gens"), QStringLiteral("6")});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.count('\n'), qsizetype(SireCandidates(*db, dam, true).size()));
    const QString id = QString::number(dam);
    const QStringList bad[] = {
        {QStringLiteral("rank-sires"), path},
        {QStringLiteral("rank-sires"), path, QStringLiteral("--dam"), QStringLiteral("0")},
        {QStringLiteral("rank-sires"), path, QStringLiteral("--dam"), QStringLiteral("99999")},
        {QStringLiteral("rank-sires"), path, QStringLiteral("--dam"), id, QStringLiteral("--gens"), QStringLiteral("21")},
        {QStringLiteral("rank-sires"), path, QStringLiteral("--dam"), id, QStringLiteral("--limit"), QStringLiteral("0")},
        {QStringLiteral("rank-sires"), path, QStringLiteral("--dam"), id, QStringLiteral("--store")},
        {QStringLiteral("rank-sires"), work.File(QStringLiteral("missing.mdb")), QStringLiteral("--dam"), id},
    };
    for (const QStringList& args : bad) {
        r = test::RunCliProcess(args);
        EXPECT_EQ(r.status, 2) << args.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(MateRankingForm, FillsTheRankedListFiltersAndOpensTheTrialMating) {
    test::TempWorkDir work;
    const QString path = test::MakeLitterKennel(work, 40, QStringLiteral("Kennel.mdb"), QDate(2020, 1, 1));
    const std::shared_ptr<DogDatabase> db = DogDatabase::Open(path);
    const QStringList before = test::SnapshotRows(path);
    const PedigreeTable table = ReadPedigreeTable(*db);
    const qint32 dam = table.ids.back() - 1;
    test::ScriptedPrompts prompts;
    std::pair<qint32, qint32> opened{0, 0};
    {
        // A male at the root is no dam.
        MateRankingForm form(*db, prompts, table.ids.back(), [] { return qint32(0); }, {});
        EXPECT_EQ(form.Dam(), 0);
        EXPECT_FALSE(form.CalculateButton()->isEnabled());
    }
    MateRankingForm form(*db, prompts, dam, [dam] { return dam; },
                         [&opened](qint32 sire, qint32 d) { opened = {sire, d}; });
    ASSERT_EQ(form.Dam(), dam);
    form.Slider()->setValue(7);
    form.Calculate();
    NoProgress quiet;
    const std::vector<RankedSire> ranked = *RankSires(table, dam, SireCandidates(*db, dam, false), 7, quiet);
    ASSERT_EQ(form.Shown().size(), ranked.size());
    ASSERT_EQ(form.Table()->rowCount(), static_cast<int>(ranked.size()));
    for (std::size_t i = 0; i < ranked.size(); ++i) {
        const int row = static_cast<int>(i);
        EXPECT_EQ(form.SireOnRow(row), ranked[i].sire.dog_id);
        EXPECT_EQ(form.Table()->item(row, 0)->text(), ranked[i].sire.name);
        EXPECT_EQ(form.Table()->item(row, 1)->text(), PercentText(ranked[i].coefficient));
        EXPECT_EQ(form.Table()->item(row, 2)->text(), PercentText(ranked[i].relationship));
    }
    form.FindBox()->setText(QStringLiteral("pup 3-"));
    int visible = 0;
    for (int row = 0; row < form.Table()->rowCount(); ++row) {
        const bool shown = !form.Table()->isRowHidden(row);
        visible += shown;
        EXPECT_EQ(shown, form.Table()->item(row, 0)->text().startsWith(QStringLiteral("Pup 3-"))) << row;
    }
    EXPECT_GT(visible, 0);
    emit form.Table()->cellDoubleClicked(2, 0);
    EXPECT_EQ(opened, std::pair(form.SireOnRow(2), dam));

    // Every male lifts the filter; a cancel keeps what was found so far.
    form.AllMales()->setChecked(true);
    QTimer::singleShot(0, form.CancelButton(), &QPushButton::click);
    form.Calculate();
    EXPECT_LT(form.Shown().size(), SireCandidates(*db, dam, true).size());
    form.Calculate();
    EXPECT_EQ(form.Shown().size(), SireCandidates(*db, dam, true).size());
    EXPECT_EQ(test::SnapshotRows(path), before);  // nothing stored
}

TEST(AllCoefficientsForm, StoresEveryFigureOrNothing) {
    test::TempWorkDir work;
    const QString path = test::MakeLitterKennel(work, 60);
    const QStringList before = test::SnapshotRows(path);
    const std::shared_ptr<DogDatabase> db = DogDatabase::Open(path);
    test::ScriptedPrompts prompts;
    {
        // Cancel while it works: nothing stored.
        AllCoefficientsForm form(*db, prompts);
        QTimer::singleShot(0, form.CancelButton(), &QPushButton::click);
        form.Calculate();
        EXPECT_EQ(form.result(), QDialog::Rejected);
        EXPECT_EQ(test::SnapshotRows(path), before);
        EXPECT_TRUE(prompts.AllShown().empty());
    }
    {
        // A failure part-way: a message, nothing stored.
        AllCoefficientsForm form(*db, prompts);
        form.fail_after = FailAfter(40);
        form.Calculate();
        EXPECT_EQ(form.result(), QDialog::Rejected);
        EXPECT_EQ(test::SnapshotRows(path), before);
        ASSERT_EQ(prompts.AllShown().size(), 1u);
        EXPECT_TRUE(prompts.AllShown()[0].text.contains(QStringLiteral("No coefficient was changed")));
    }
    prompts.Clear();
    AllCoefficientsForm form(*db, prompts);
    form.AllGenerations()->setChecked(true);
    EXPECT_FALSE(form.Slider()->isEnabled());
    form.Calculate();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    ASSERT_EQ(prompts.AllShown().size(), 1u);
    EXPECT_EQ(prompts.AllShown()[0].text,
              QStringLiteral("The inbreeding coefficients of 182 dogs have been calculated over all known "
                             "generations and stored."));
    const PedigreeTable table = ReadPedigreeTable(*db);
    NoProgress quiet;
    const std::vector<double> expected = *CoefficientsOverAllGenerations(table, quiet);
    for (std::size_t i = 0; i < table.Count(); ++i) {
        EXPECT_EQ(db->ReadRow(table.ids[i])->Value(Field::IC).toDouble(), expected[i]);
    }
}

}  // namespace
}  // namespace lineara
