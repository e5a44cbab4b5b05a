#include "inbreeding/InbreedingReport.h"

#include "analysis/RtfReader.h"

#include "support/CliProcess.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace lineara {
namespace {

QList<QByteArray> Lines(const QByteArray& report) {
    QList<QByteArray> lines = report.split('\n');
    EXPECT_EQ(lines.takeLast(), QByteArray());
    for (QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r')) << line.toStdString();
        line.chop(1);
    }
    return lines;
}

TEST(InbreedingReport, PercentsRoundHalfAwayFromZeroOnTheExactValue) {
    EXPECT_EQ(PercentText(0.03125), QStringLiteral("3.13%"));
    EXPECT_EQ(PercentText(0.0078125), QStringLiteral("0.78%"));
    EXPECT_EQ(PercentText(0.000125), QStringLiteral("0.01%"));  // 0.0125000000000000006938...
    EXPECT_EQ(PercentText(0.25), QStringLiteral("25.00%"));
    EXPECT_EQ(PercentText(0), QStringLiteral("0.00%"));
    EXPECT_EQ(PercentText(0.999999), QStringLiteral("100.00%"));
    EXPECT_EQ(PercentText(12.3456), QStringLiteral("1234.56%"));
}

TEST(InbreedingReport, RowsKeepTheirWidthsCutsAndAlignment) {
    AncestorEntry both{7, 0.5, 0.25, 1, 1, 1, 2, 2};
    AncestorEntry one_sided{8, 1.5, 0, 3, 0, 2, 20, 4};
    AncestorEntry wide{9, 12.3456, 0.0, 12345678, 2, 3, 11, 8};
    InbreedingAnalysis analysis;
    analysis.coefficient = 0.25;
    analysis.ancestors = {both, one_sided, wide};
    analysis.entries_filled = 7;
    analysis.deepest_generation = 3;
    analysis.complete_generations = 1;
    const QString long_name = QString(41, u'N');
    const QByteArray report = InbreedingReportText(
        {QStringLiteral("Ch. Root {x}"), QStringLiteral("Sire\\"), std::nullopt}, analysis, 10, [&](qint32 id) {
            return id == 7 ? QStringLiteral("Müller") : id == 8 ? long_name : QStringLiteral("😀 Emoji");
        });
    for (const char c : report) {
        ASSERT_LT(static_cast<unsigned char>(c), 128) << "the report is plain ASCII";
    }
    const QList<QByteArray> lines = Lines(report);
    ASSERT_EQ(lines.size(), 34);
    EXPECT_EQ(lines[0], "{\\rtf\\ansi\\deff0{\\fonttbl {\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}}");
    EXPECT_EQ(lines[2], "\\fs16(Generated using LINEARA v4.0.6)\\par");
    EXPECT_EQ(lines[5], "\\b\\fs36Ch. Root \\{x\\}\\b0\\par");
    EXPECT_EQ(lines[6], "\\fs20by Sire\\\\ out of [no information]\\par");
    EXPECT_EQ(lines[8], "\\b\\fs28Inbreeding Coefficient = 25.00%\\par\\b0");
    EXPECT_EQ(lines[11], "\\fs20Some lineara information was available to 3 generations.\\par");
    EXPECT_EQ(lines[12], "\\fs20Full lineara information was available for 1 generations.\\par");
    EXPECT_EQ(lines[14], "\\fs20A 10 generation lineara contains up to 2047 entries.\\par");
    EXPECT_EQ(lines[15], "\\fs20In this lineara there were 7 entries filled in.\\par");
    EXPECT_EQ(lines[16], "\\fs20These entries consisted of 4 unique names.\\par");
    EXPECT_EQ(lines[22], "\\fs16                                           of Blood  Generation  Lineara  Inbr Coeff\\par");
    // Ordered by percent of blood: 1234.56 % first, then 150 %, then 50 %.
    EXPECT_EQ(lines[24], "\\fs16\\u-10179?\\u-8704? Emoji" + QByteArray(33, ' ') + " 1234.56%   " + "    3:11   " +
                             "45678:2    " + "   0.00%" + "\\~\\~\\par");
    EXPECT_EQ(lines[25], "\\fs16" + QByteArray(40, 'N') + "  150.00%   " + "    2:-    " + "    3:0    " +
                             "   0.00%\\~\\~\\par");
    EXPECT_EQ(lines[26], "\\fs16M\\u252?ller" + QByteArray(34, ' ') + "   50.00%   " + "    1:2    " +
                             "    1:1    " + "  25.00%\\~\\~\\par");
    EXPECT_EQ(lines[33], "}");

    // A side with no appearances shows "-" on that side of the colon.
    analysis.ancestors = {AncestorEntry{8, 0.25, 0, 0, 1, 10, 2, 6}};
    EXPECT_EQ(Lines(InbreedingReportText({}, analysis, 10, [](qint32) { return QString(); }))[24],
              "\\fs16" + QByteArray(40, ' ') + "   25.00%   " + "    -:2    " + "    0:1    " + "   0.00%\\~\\~\\par");
}

TEST(InbreedingReport, AnyNameSurvivesTheViewersReader) {
    const QString name = QStringLiteral("Ch. {Brace} \\ Müller 😀 Ꭰ");
    InbreedingAnalysis analysis;
    analysis.ancestors = {AncestorEntry{2, 0.5, 0, 1, 0, 1, 10, 2}};
    const QByteArray report =
        InbreedingReportText({name, name, std::nullopt}, analysis, 10, [&](qint32) { return name; });
    QTextDocument document;
    RtfReader::Read(report, document);
    const QString text = document.toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("\n") + name + QStringLiteral("\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("by ") + name + QStringLiteral(" out of [no information]")));
    // The table cell: the name padded to 40 characters, then the percent of blood.
    EXPECT_TRUE(text.contains(name + QString(40 - static_cast<int>(name.toUcs4().size()), u' ') +
                              QStringLiteral("   50.00%")))
        << text.toStdString();
}

TEST(InbreedingReport, ShowsAtMostFortyRows) {
    InbreedingAnalysis analysis;
    for (qint32 id = 1; id <= 41; ++id) {
        analysis.ancestors.push_back(AncestorEntry{id, 1.0 / id, 0, 1, 0, 1, 10, 2});
    }
    const QList<QByteArray> lines = Lines(InbreedingReportText({}, analysis, 10, [](qint32 id) {
        return QString::number(id);
    }));
    EXPECT_EQ(lines.size(), 24 + 40 + 7);
    EXPECT_TRUE(lines[24].startsWith("\\fs161 "));
    EXPECT_TRUE(lines[63].startsWith("\\fs1640 "));
}

class CoiCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = work_.File(QStringLiteral("Kennel.mdb"));
        test::CreateDatabase(path_);
        RecordStore store(path_);
        const qint32 grandsire = test::AddTestDog(store, QStringLiteral("  Grandsire  "));
        const qint32 granddam = test::AddTestDog(store, QStringLiteral("Granddam"), false);
        const qint32 sire = test::AddTestDog(store, QStringLiteral("Sire"), true, grandsire, granddam);
        const qint32 dam = test::AddTestDog(store, QStringLiteral("Dam"), false, grandsire, granddam);
        root_ = test::AddTestDog(store, QStringLiteral("Root"), true, sire, dam);
        lone_ = test::AddTestDog(store, QStringLiteral("Lone"), true, 0, 0);
    }

    std::optional<QVariant> Ic(qint32 dog) {
        auto db = DogDatabase::Open(path_);
        const std::optional<DogRecord> record = db->ReadRow(dog);
        return record ? std::optional<QVariant>(record->Value(Field::IC)) : std::nullopt;
    }

    test::TempWorkDir work_;
    QString path_;
    qint32 root_ = 0;
    qint32 lone_ = 0;
};

TEST_F(CoiCommandTest, PrintsStoresAndWritesTheReport) {
    const QString report = work_.File(QStringLiteral("report.rtf"));
    test::CliResult r = test::RunCliProcess({QStringLiteral("coi"), path_, QStringLiteral("--dog"),
                                             QString::number(root_), QStringLiteral("--gens=6"),
                                             QStringLiteral("--report"), report});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "0.25 25.00%\n");
    EXPECT_TRUE(Ic(root_)->isNull()) << "nothing stored without --store";
    QFile file(report);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = Lines(file.readAll());
    EXPECT_EQ(lines[6], "\\fs20by Sire out of Dam\\par");
    EXPECT_EQ(lines[11], "\\fs20Some lineara information was available to 2 generations.\\par");
    EXPECT_EQ(lines[12], "\\fs20Full lineara information was available for 2 generations.\\par");
    EXPECT_EQ(lines[16], "\\fs20These entries consisted of 5 unique names.\\par");
    EXPECT_TRUE(lines[24].startsWith("\\fs16Grandsire    ")) << lines[24].toStdString();
    EXPECT_TRUE(lines[24].endsWith("   50.00%   " "    2:2    " "    1:1    " "  12.50%\\~\\~\\par"));

    r = test::RunCliProcess({QStringLiteral("coi"), path_, QStringLiteral("--dog"), QString::number(root_),
                             QStringLiteral("--store")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(Ic(root_)->toDouble(), 0.25);

    r = test::RunCliProcess({QStringLiteral("coi"), path_, QStringLiteral("--dog"), QString::number(lone_),
                             QStringLiteral("--store")});
    EXPECT_EQ(r.out, "0 0.00%\n");
    EXPECT_EQ(Ic(lone_)->toDouble(), 0.0);
    EXPECT_FALSE(Ic(lone_)->isNull());
}

TEST_F(CoiCommandTest, RefusesBadRequestsAndChangesNothing) {
    const QString unwritable = work_.File(QStringLiteral("no-such-folder/report.rtf"));
    const QStringList bad[] = {
        {QStringLiteral("coi"), path_},
        {QStringLiteral("coi"), path_, QStringLiteral("--dog"), QStringLiteral("x")},
        {QStringLiteral("coi"), path_, QStringLiteral("--dog"), QString::number(root_), QStringLiteral("--gens"), QStringLiteral("21")},
        {QStringLiteral("coi"), path_, QStringLiteral("--dog"), QString::number(root_), QStringLiteral("--gens=4")},
        {QStringLiteral("coi"), path_, QStringLiteral("--dog"), QStringLiteral("999"), QStringLiteral("--store")},
        {QStringLiteral("coi"), work_.File(QStringLiteral("missing.mdb")), QStringLiteral("--dog"), QStringLiteral("1")},
        {QStringLiteral("coi"), path_, QStringLiteral("--dog"), QString::number(root_), QStringLiteral("--store"),
         QStringLiteral("--report"), unwritable},
    };
    for (const QStringList& args : bad) {
        const test::CliResult r = test::RunCliProcess(args);
        EXPECT_EQ(r.status, 2) << args.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_TRUE(Ic(root_)->isNull());
}

}  // namespace
}  // namespace lineara
