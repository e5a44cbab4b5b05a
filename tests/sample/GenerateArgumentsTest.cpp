#include "sample/GenerateArguments.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace lineara {
namespace {

QStringList Args(std::initializer_list<const char*> words) {
    QStringList list;
    for (const char* word : words) {
        list.append(QString::fromUtf8(word));
    }
    return list;
}

TEST(GenerateArgumentsTest, ReadsTheGeneratorsCommandLine) {
    const GenerateRequest request =
        GenerateArguments::Parse(Args({"--dogs", "1000000", "--generations", "12", "--inbreeding",
                                       "0.25", "--seed", "18446744073709551615", "big.mdb"}));
    EXPECT_EQ(request.target, QStringLiteral("big.mdb"));
    EXPECT_EQ(request.options.dogs, 1000000);
    EXPECT_EQ(request.options.generations, 12);
    EXPECT_EQ(request.options.inbreeding, 0.25);
    EXPECT_EQ(request.options.seed, 18446744073709551615ULL);
    EXPECT_FALSE(request.options.complete_last_ancestry);
    EXPECT_TRUE(request.csv.isEmpty());
    EXPECT_FALSE(request.as_text);

    // The file may come first, and every other shape of the pedigree can be given.
    const GenerateRequest text = GenerateArguments::Parse(Args(
        {"small.txt", "--text", "--dogs", "500", "--parent-generations", "3", "--studs", "0.2",
         "--unknown", "0", "--champions", "0.5", "--duplicates", "0.02", "--full-last-ancestry"}));
    EXPECT_EQ(text.target, QStringLiteral("small.txt"));
    EXPECT_TRUE(text.as_text);
    EXPECT_EQ(text.options.parent_generations, 3);
    EXPECT_EQ(text.options.stud_share, 0.2);
    EXPECT_EQ(text.options.unknown_parent_share, 0.0);
    EXPECT_EQ(text.options.champion_share, 0.5);
    EXPECT_EQ(text.options.duplicate_share, 0.02);
    EXPECT_TRUE(text.options.complete_last_ancestry);
    EXPECT_EQ(text.options.inbreeding, PedigreeOptions().inbreeding);

    const GenerateRequest csv =
        GenerateArguments::Parse(Args({"--csv", "ped.csv", "--prefix", "Cow ", "cows.mdb"}));
    EXPECT_EQ(csv.csv, QStringLiteral("ped.csv"));
    EXPECT_EQ(csv.prefix, QStringLiteral("Cow "));

    EXPECT_TRUE(GenerateArguments::Parse(Args({"--help"})).help);
}

TEST(GenerateArgumentsTest, ExplainsWhatItCannotUnderstand) {
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {Args({}), "name the FILE to write"},
        {Args({"--dogs", "10"}), "name the FILE to write"},
        {Args({"a.mdb", "b.mdb"}), "only one FILE can be written, not \"b.mdb\" as well"},
        {Args({"--dogs", "many", "a.mdb"}), "--dogs takes a number, not \"many\""},
        {Args({"--dogs", "1e6", "a.mdb"}), "--dogs takes a number, not \"1e6\""},
        // The same in every locale: a decimal point, never a comma.
        {Args({"--inbreeding", "0,5", "a.mdb"}), "--inbreeding takes a number, not \"0,5\""},
        {Args({"--seed", "-1", "a.mdb"}), "--seed takes a number, not \"-1\""},
        {Args({"a.mdb", "--seed"}), "--seed needs a value"},
        {Args({"--colour", "red", "a.mdb"}), "unknown option --colour"},
    };
    for (const auto& c : cases) {
        try {
            GenerateArguments::Parse(c.args);
            ADD_FAILURE() << c.args.join(QLatin1Char(' ')).toStdString();
        } catch (const std::invalid_argument& error) {
            EXPECT_STREQ(error.what(), c.message) << c.args.join(QLatin1Char(' ')).toStdString();
        }
    }
}

}  // namespace
}  // namespace lineara
