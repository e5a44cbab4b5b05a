#include "sample/KennelText.h"

#include "support/TempWorkDir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace lineara {
namespace {

using test::TempWorkDir;

const KennelText::Dog& Named(const KennelText& kennel, const QString& name) {
    for (const KennelText::Dog& dog : kennel.Dogs()) {
        if (dog.record.Text(Field::RegName) == name) {
            return dog;
        }
    }
    throw std::runtime_error("no dog named " + name.toStdString());
}

QString Name(const KennelText& kennel, int index) {
    return index < 0 ? QString()
                     : kennel.Dogs()[static_cast<std::size_t>(index)].record.Text(Field::RegName);
}

TEST(KennelTextTest, ReadsEveryKindOfEntry) {
    const KennelText kennel =
        KennelText::Parse(QStringLiteral("# a comment before the first dog\r\n"
                                         "\r\n"
                                         "dog:   Stonebrook Tall Timber  \r\n"
                                         "call: Timber\r\n"
                                         "SEX: Male\r\n"
                                         "born: 2007-05-02\r\n"
                                         "titles: AmCh, CanCh ROM\r\n"
                                         "titles: BISS\r\n"
                                         "  # a comment does not end the dog\r\n"
                                         "Certifications: OFA Hips Excellent,\r\n"
                                         "  CERF clear\r\n"
                                         "PrintNotes: Sire of eleven champions.\r\n"
                                         "    Best in Show twice.\r\n"
                                         "altered: yes\r\n"
                                         "IC: 12.5%\r\n"
                                         "OtherCh: Int/Bda\r\n"
                                         "Description:\r\n"
                                         "dog: Ginger\r\n"
                                         "sex: bitch\r\n"
                                         "IC: 0.0625\r\n"
                                         "ForceCh: -1\r\n"));
    ASSERT_TRUE(kennel.Ok()) << kennel.ErrorText().toStdString();
    EXPECT_TRUE(kennel.Warnings().empty());
    ASSERT_EQ(kennel.Dogs().size(), 2u);

    const DogRecord& timber = kennel.Dogs()[0].record;
    EXPECT_EQ(kennel.Dogs()[0].line, 3);
    EXPECT_EQ(timber.Text(Field::RegName), QStringLiteral("Stonebrook Tall Timber"));
    EXPECT_EQ(timber.Text(Field::CallName), QStringLiteral("Timber"));
    EXPECT_TRUE(timber.Flag(Field::SexMale));
    EXPECT_EQ(timber.Date(Field::DOB), QDate(2007, 5, 2));
    for (Field title : {Field::AmCh, Field::CanCh, Field::ROM, Field::BISS, Field::Altered}) {
        EXPECT_TRUE(timber.Flag(title)) << NameOf(title);
    }
    EXPECT_FALSE(timber.Flag(Field::BIS));
    EXPECT_EQ(timber.Text(Field::Certifications), QStringLiteral("OFA Hips Excellent, CERF clear"));
    EXPECT_EQ(timber.Text(Field::PrintNotes),
              QStringLiteral("Sire of eleven champions.\nBest in Show twice."));
    EXPECT_DOUBLE_EQ(timber.Value(Field::IC).toDouble(), 0.125);
    EXPECT_EQ(timber.Text(Field::OtherCh), QStringLiteral("Int/Bda"));
    EXPECT_TRUE(timber.IsNull(Field::Description));
    EXPECT_TRUE(timber.IsNull(Field::Comments));
    EXPECT_EQ(timber.Long(Field::SireID), 0);

    const DogRecord& ginger = kennel.Dogs()[1].record;
    EXPECT_FALSE(ginger.Flag(Field::SexMale));
    EXPECT_DOUBLE_EQ(ginger.Value(Field::IC).toDouble(), 0.0625);
    EXPECT_TRUE(ginger.Flag(Field::ForceCh));
    EXPECT_TRUE(ginger.IsNull(Field::DOB));
}

TEST(KennelTextTest, FindsParentsListedBeforeOrAfterAndInAnyLetterCase) {
    const KennelText kennel =
        KennelText::Parse(QStringLiteral("dog: Pup\nsire: ROVER\ndam: Bella of the Glen\n\n"
                                         "dog: Rover\n\n"
                                         "dog: Bella of the Glen\n\n"
                                         "dog: Grandpup\nsire: pup\n"));
    ASSERT_TRUE(kennel.Ok()) << kennel.ErrorText().toStdString();
    EXPECT_EQ(Name(kennel, Named(kennel, "Pup").sire), QStringLiteral("Rover"));
    EXPECT_EQ(Name(kennel, Named(kennel, "Pup").dam), QStringLiteral("Bella of the Glen"));
    EXPECT_EQ(Name(kennel, Named(kennel, "Grandpup").sire), QStringLiteral("Pup"));
    EXPECT_EQ(Named(kennel, "Rover").sire, -1);
}

TEST(KennelTextTest, AnExactNameWinsOverOneDifferingInLetterCase) {
    const QString twins = QStringLiteral(
        "dog: Copperfield Brandy Snap\n"
        "dog: COPPERFIELD BRANDY SNAP\n"
        "dog: Pup one\ndam: COPPERFIELD BRANDY SNAP\n"
        "dog: Pup two\ndam: Copperfield Brandy Snap\n");
    const KennelText kennel = KennelText::Parse(twins);
    ASSERT_TRUE(kennel.Ok()) << kennel.ErrorText().toStdString();
    EXPECT_EQ(Named(kennel, "Pup one").dam, 1);
    EXPECT_EQ(Named(kennel, "Pup two").dam, 0);

    const KennelText ambiguous =
        KennelText::Parse(twins + QStringLiteral("dog: Pup three\ndam: copperfield brandy snap\n"));
    ASSERT_EQ(ambiguous.Errors().size(), 1u);
    EXPECT_EQ(ambiguous.Errors()[0],
              (KennelText::Issue{8, QStringLiteral("\"copperfield brandy snap\" names more than "
                                                   "one dog (lines 1, 2).")}));
    EXPECT_TRUE(ambiguous.Dogs().empty()) << "a kennel with errors has no dogs";
}

TEST(KennelTextTest, TellsTheSexOfAnUnsexedDogFromItsOffspring) {
    const KennelText kennel =
        KennelText::Parse(QStringLiteral("dog: Sire\n"   // 1: male, named as a sire
                                         "dog: Dam\n"    // 2: female, named as a dam
                                         "dog: Loner\n"  // 3: female, as a new record is
                                         "dog: Pup\nsire: Sire\ndam: Dam\n"  // 4-6
                                         "dog: Both\n"                // 7: named as sire and as dam
                                         "dog: A\nsire: Both\n"       // 8-9
                                         "dog: B\ndam: Both\n"        // 10-11
                                         "dog: Queen\nsex: female\n"  // 12-13
                                         "dog: King\nsex: male\n"     // 14-15
                                         "dog: Odd\nsire: Queen\ndam: King\n"  // 16-18
                                         ));
    ASSERT_TRUE(kennel.Ok()) << kennel.ErrorText().toStdString();
    EXPECT_TRUE(Named(kennel, "Sire").record.Flag(Field::SexMale));
    EXPECT_FALSE(Named(kennel, "Dam").record.Flag(Field::SexMale));
    EXPECT_FALSE(Named(kennel, "Loner").record.Flag(Field::SexMale));
    EXPECT_TRUE(Named(kennel, "Both").record.Flag(Field::SexMale));
    EXPECT_FALSE(Named(kennel, "Queen").record.Flag(Field::SexMale)) << "a given sex stands";
    const std::vector<KennelText::Issue> expected{
        {7, QStringLiteral("\"Both\" is named as a sire (line 9) and as a dam (line 11); it is "
                           "taken to be male.")},
        {17, QStringLiteral("The sire \"Queen\" is recorded as female.")},
        {18, QStringLiteral("The dam \"King\" is recorded as male.")},
    };
    EXPECT_EQ(kennel.Warnings(), expected);
}

TEST(KennelTextTest, WarnsAboutDogsThatAreTheirOwnAncestorsOnly) {
    const KennelText kennel = KennelText::Parse(
        QStringLiteral("dog: Narcissus\nsire: Narcissus\n"       // 1: its own sire
                       "dog: Loop A\nsire: Loop B\n"             // 3
                       "dog: Loop B\nsire: Loop C\n"             // 5
                       "dog: Loop C\nsex: male\nsire: Loop A\n"  // 7
                       "dog: Below the loop\nsire: Loop C\n"));  // 10: descends from it, not on it
    ASSERT_TRUE(kennel.Ok()) << kennel.ErrorText().toStdString();
    std::vector<int> lines;
    for (const auto& warning : kennel.Warnings()) {
        EXPECT_TRUE(warning.message.endsWith(QStringLiteral("is its own ancestor.")));
        lines.push_back(warning.line);
    }
    EXPECT_EQ(lines, (std::vector<int>{1, 3, 5, 7}));
    EXPECT_EQ(Named(kennel, "Narcissus").sire, 0);
}

struct BadText {
    const char* text;
    int line;
    const char* message;
};

void PrintTo(const BadText& bad, std::ostream* out) {
    *out << ::testing::PrintToString(bad.text);
}

class KennelTextErrorTest : public ::testing::TestWithParam<BadText> {};

TEST_P(KennelTextErrorTest, NamesTheLineAndTheProblem) {
    const KennelText kennel = KennelText::Parse(QString::fromUtf8(GetParam().text));
    ASSERT_FALSE(kennel.Ok());
    EXPECT_TRUE(kennel.Dogs().empty());
    EXPECT_EQ(kennel.Errors().front(),
              (KennelText::Issue{GetParam().line, QString::fromUtf8(GetParam().message)}))
        << kennel.ErrorText().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Entries, KennelTextErrorTest,
    ::testing::Values(
        BadText{"# header\ncall: Rex\ndog: Rex\n", 2,
                "The first entry must be a \"dog:\" line naming a dog."},
        BadText{"dog: Rex\njust some words\n", 2, "Expected an entry written as \"name: value\"."},
        BadText{"dog: Rex\n: no name\n", 2, "Expected an entry written as \"name: value\"."},
        BadText{"dog:\nsex: male\n", 1, "A dog needs a registered name after \"dog:\"."},
        BadText{"dog: Rex\nowner: Jo\n", 2, "\"owner\" is not an entry a dog can have."},
        BadText{"dog: Rex\ncall: R\nCallName: Rexy\n", 3,
                "\"CallName\" is given twice for this dog."},
        BadText{"dog: Rex\nsex: male\nsex: female\n", 3, "\"sex\" is given twice for this dog."},
        BadText{"dog: Rex\nsex: neuter\n", 2, "\"neuter\" is not a sex: write male or female."},
        BadText{"dog: Rex\nborn: 12/04/2014\n", 2,
                "\"12/04/2014\" is not a date written as year-month-day, such as 2014-04-12."},
        BadText{"dog: Rex\nborn: 2014-02-30\n", 2,
                "\"2014-02-30\" is not a date written as year-month-day, such as 2014-04-12."},
        BadText{"dog: Rex\nAmCh: maybe\n", 2, "\"maybe\" is not yes or no."},
        BadText{"dog: Rex\nIC: high\n", 2, "\"high\" is not a number."},
        BadText{"dog: Rex\ntitles: AmCh Champion\n", 2, "\"Champion\" is not a title."},
        BadText{"dog: Rex\ntitles: SexMale\n", 2, "\"SexMale\" is not a title."},
        BadText{"dog: Rex\nDogID: 7\n", 2, "DogID is given by the database; leave it out."},
        BadText{"dog: Rex\nSireID: 7\n", 2,
                "Parents are given by name with \"sire:\" and \"dam:\"."},
        BadText{"dog: Rex\nRegName: Rexy\n", 2,
                "The registered name is given on the \"dog:\" line."},
        BadText{"dog: Rex\nSystemUseText: X\n", 2,
                "SystemUseText is the program's own scratch field; leave it out."},
        BadText{"dog: Rex\nsire: Nobody\n", 2, "No dog named \"Nobody\" is in this kennel."},
        BadText{"dog: Twin\ndog: twin\ndog: Pup\nsire: TWIN\n", 4,
                "\"TWIN\" names more than one dog (lines 1, 2)."}));

TEST(KennelTextTest, RefusesTextsLongerThanTheDatabaseTakes) {
    const QString long_name = QString(256, QLatin1Char('x'));
    const KennelText kennel =
        KennelText::Parse(QStringLiteral("dog: ok\nComments: %1\ndog: %2\n")
                              .arg(QString(3000, QLatin1Char('y')), long_name));
    ASSERT_EQ(kennel.Errors().size(), 1u) << kennel.ErrorText().toStdString();
    EXPECT_EQ(kennel.Errors()[0],
              (KennelText::Issue{3, QStringLiteral("The RegName entry is 256 characters long; the "
                                                   "database takes at most 255.")}));
}

TEST(KennelTextTest, ReportsEveryErrorInLineOrder) {
    const KennelText kennel = KennelText::Parse(
        QStringLiteral("dog: Rex\nsire: Nobody\nsex: neuter\ndog: Fido\nborn: soon\n"));
    ASSERT_EQ(kennel.Errors().size(), 3u);
    EXPECT_EQ(kennel.ErrorText(),
              QStringLiteral("line 2: No dog named \"Nobody\" is in this kennel.\n"
                             "line 3: \"neuter\" is not a sex: write male or female.\n"
                             "line 5: \"soon\" is not a date written as year-month-day, such as "
                             "2014-04-12."));
}

TEST(KennelTextTest, ReadsFilesAsUtf8AndPointsAtTheFirstLineThatIsNot) {
    TempWorkDir dir;
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile file(dir.File(QString::fromUtf8(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const KennelText good =
        KennelText::ParseFile(write("good.txt",
                                    "\xEF\xBB\xBF"
                                    "dog: Falko vom M\xC3\xBCllerhof\nsex: male\n"));
    ASSERT_TRUE(good.Ok()) << good.ErrorText().toStdString();
    EXPECT_EQ(good.Dogs()[0].record.Text(Field::RegName),
              QString::fromUtf8("Falko vom M\xC3\xBCllerhof"));

    const KennelText latin1 =
        KennelText::ParseFile(write("latin1.txt", "dog: Rex\n\ndog: Falko vom M\xFCllerhof\n"));
    ASSERT_EQ(latin1.Errors().size(), 1u);
    EXPECT_EQ(latin1.Errors()[0].line, 3);
    EXPECT_TRUE(latin1.Dogs().empty());

    const KennelText missing = KennelText::ParseFile(dir.File(QStringLiteral("missing.txt")));
    ASSERT_EQ(missing.Errors().size(), 1u);
    EXPECT_EQ(missing.Errors()[0].line, 0);
    EXPECT_TRUE(missing.Errors()[0].message.startsWith(QStringLiteral("The file cannot be read")));
}

TEST(KennelTextTest, TheBundledSampleKennelReadsCleanly) {
    const KennelText kennel =
        KennelText::ParseFile(QStringLiteral(LINEARA_SOURCE_DIR "/data/sample-kennel.txt"));
    ASSERT_TRUE(kennel.Ok()) << kennel.ErrorText().toStdString();
    EXPECT_TRUE(kennel.Warnings().empty());
    EXPECT_GE(kennel.Dogs().size(), 40u);
}

}  // namespace
}  // namespace lineara
