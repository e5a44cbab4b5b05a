#include "records/FindDogSearch.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <QCollator>
#include <QLocale>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>

namespace lineara {
namespace {

class FindDogSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString path = work_.File(QStringLiteral("Kennel.mdb"));
        test::CreateDatabase(path);
        store_.Open(path);
    }

    qint32 Add(const char* name, bool male) {
        return test::AddTestDog(store_, name ? QString::fromUtf8(name) : QString(), male);
    }

    QStringList Names(const FindDogResult& result) {
        QStringList names;
        for (const FoundDog& dog : result.dogs) {
            names << dog.reg_name;
        }
        return names;
    }

    // Each dog as its DogID and name, for readable failures.
    static QStringList Listed(const std::vector<FoundDog>& dogs) {
        QStringList listed;
        for (const FoundDog& dog : dogs) {
            listed << QString::number(dog.dog_id) + QLatin1Char(' ') + dog.reg_name;
        }
        return listed;
    }

    test::TempWorkDir work_;
    RecordStore store_;
};

TEST_F(FindDogSearchTest, ListsMatchesOfTheHintedSexAlphabeticallyWithTheirCount) {
    Add("Misty Morning", true);
    Add("Ch. Twilight Mist", false);
    Add("Stormy Weather", false);
    Add("misty blue", true);
    const qint32 mistral = Add("Mistral  ", true);
    Add(nullptr, true);  // records whose names were never entered are never listed
    Add(nullptr, false);
    const struct {
        const char* text;
        qint16 hint;
        QStringList names;
        const char* count;
    } cases[] = {
        {"mist", -1, {"Ch. Twilight Mist", "Mistral  ", "misty blue", "Misty Morning"},
         "4 dogs found"},
        {"  MIST ", 1, {"Mistral  ", "misty blue", "Misty Morning"}, "3 male dogs found"},
        {"Mist", 0, {"Ch. Twilight Mist"}, "1 dog found"},
        {"weather", 1, {"(no match found)"}, "No male dogs found"},
        {"morning", 0, {"(no match found)"}, "No female dogs found"},
        {"zebra", -1, {"(no match found)"}, "No dogs found"},
        {"   ", -1, {}, ""},  // nothing to search for: nothing at all
    };
    for (const auto& c : cases) {
        const FindDogResult result = FindDogs(store_, QString::fromUtf8(c.text), c.hint);
        EXPECT_EQ(Names(result), c.names) << c.text << " " << c.hint;
        EXPECT_EQ(result.count_text, c.count) << c.text << " " << c.hint;
    }
    EXPECT_EQ(FindDogs(store_, QStringLiteral("mist"), -1).dogs[1].dog_id, mistral);
    EXPECT_EQ(FindDogs(store_, QStringLiteral("zebra"), 0).dogs[0].dog_id, 0);
    EXPECT_TRUE(FindDogs(store_, QString(), -1).dogs.empty());
}

TEST_F(FindDogSearchTest, DogsOfTheSameNameKeepTheirOrderOfEntry) {
    const qint32 first = Add("ECHO", true);
    const qint32 second = Add("echo", false);
    const qint32 third = Add("Echo", true);
    for (int i = 0; i < 7; ++i) {
        Add("Echo Valley", i % 2 == 0);
    }
    const FindDogResult result = FindDogs(store_, QStringLiteral("echo"), -1);
    EXPECT_EQ(result.count_text, "10 dogs found");
    ASSERT_GE(result.dogs.size(), 3u);
    EXPECT_EQ(result.dogs[0].dog_id, first);
    EXPECT_EQ(result.dogs[1].dog_id, second);
    EXPECT_EQ(result.dogs[2].dog_id, third);
    EXPECT_EQ(FindDogs(store_, QStringLiteral("valley"), -1).count_text, "7 dogs found");
}

// Names outside ASCII are matched after full upper-casing, and found by plain ASCII text too.
TEST_F(FindDogSearchTest, MatchesLettersOutsideAscii) {
    Add("Müllerhof Star", true);
    Add("Åkerbacken Straße", false);
    Add("Mullerhof Star", true);
    Add("Yıldız Kennel", false);
    EXPECT_EQ(Names(FindDogs(store_, QStringLiteral("MÜLLER"), -1)), QStringList{"Müllerhof Star"});
    EXPECT_EQ(Names(FindDogs(store_, QStringLiteral("müller"), 1)), QStringList{"Müllerhof Star"});
    EXPECT_EQ(Names(FindDogs(store_, QStringLiteral("star"), -1)),
              (QStringList{"Mullerhof Star", "Müllerhof Star"}));
    EXPECT_EQ(Names(FindDogs(store_, QStringLiteral("strasse"), 0)),
              QStringList{"Åkerbacken Straße"});
    EXPECT_EQ(Names(FindDogs(store_, QStringLiteral("yildiz"), -1)), QStringList{"Yıldız Kennel"});
    EXPECT_EQ(FindDogs(store_, QStringLiteral("åker"), 1).count_text, "No male dogs found");
}

// Characters that mean something to the database's pattern matching are plain text here.
TEST_F(FindDogSearchTest, WildcardCharactersAreTakenLiterally) {
    Add("100% Pure", true);
    Add("100 Pure", true);
    Add("A_B Kennel", true);
    Add("AxB Kennel", true);
    Add("Back\\Slash", true);
    EXPECT_EQ(Names(FindDogs(store_, QStringLiteral("0%"), -1)), QStringList{"100% Pure"});
    EXPECT_EQ(Names(FindDogs(store_, QStringLiteral("a_b"), -1)), QStringList{"A_B Kennel"});
    EXPECT_EQ(Names(FindDogs(store_, QStringLiteral("k\\s"), -1)), QStringList{"Back\\Slash"});
    EXPECT_EQ(FindDogs(store_, QStringLiteral("%"), -1).count_text, "1 dog found");
}

// The list is in the order of the user's locale's collator comparing names with letter case
// ignored, dogs of the same name in their order of entry; in the C locale as well, where Qt's
// collation keys would keep letter case.
TEST_F(FindDogSearchTest, TheListIsInTheCollatorsOrderInEveryLocale) {
    const QStringList pieces = {
        QStringLiteral("a"),          QStringLiteral("A"),          QStringLiteral("b"),
        QStringLiteral("Z"),          QStringLiteral("z"),          QStringLiteral(" "),
        QStringLiteral("-"),          QStringLiteral("'"),          QStringLiteral("."),
        QStringLiteral("1"),          QStringLiteral("_"),          QStringLiteral("~"),
        QStringLiteral("ä"),          QStringLiteral("Ä"),          QStringLiteral("ö"),
        QStringLiteral("ß"),          QStringLiteral("ss"),         QStringLiteral("e\u0301"),
        QStringLiteral("é"),          QStringLiteral("ı"),          QStringLiteral("I"),
        QStringLiteral("ch"),         QStringLiteral("CH"),         QStringLiteral("aa"),
        QStringLiteral("Ørsted"),     QStringLiteral("\U0001F415"), QStringLiteral("σ"),
        QStringLiteral("日"),         QStringLiteral("abcdefgh"),   QStringLiteral("ABCDEFGHI"),
        QStringLiteral("\U00010400"), QStringLiteral("\U00010428"), QStringLiteral("\u212A"),
        QStringLiteral("k"),          QStringLiteral("ſ"),          QStringLiteral("ǅ"),
        QStringLiteral("İ"),          QStringLiteral("ẞ"),          QStringLiteral("\t"),
        QStringLiteral("\u00A0"),
    };
    QRandomGenerator random(1207);
    std::vector<FoundDog> entered;
    for (int i = 0; i < 400; ++i) {
        QString name;
        for (int n = 1 + static_cast<int>(random.bounded(5)); n > 0; --n) {
            name += pieces[static_cast<qsizetype>(random.bounded(pieces.size()))];
        }
        // Every name holds the text searched for; some names come more than once.
        name += i % 3 == 0 ? QStringLiteral(" Kennel") : QStringLiteral(" KENNEL");
        if (i % 7 == 0 && !entered.empty()) {
            name =
                entered[static_cast<std::size_t>(random.bounded(static_cast<int>(entered.size())))]
                    .reg_name;
        }
        entered.push_back({name, Add(name.toUtf8().constData(), true)});
    }
    const QLocale before;
    for (const QLocale& locale :
         {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
          QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::Swedish, QLocale::Sweden),
          QLocale(QLocale::Czech, QLocale::CzechRepublic),
          QLocale(QLocale::Turkish, QLocale::Turkey)}) {
        QLocale::setDefault(locale);
        QCollator collator{locale};
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::vector<FoundDog> expected = entered;
        std::stable_sort(expected.begin(), expected.end(),
                         [&collator](const FoundDog& a, const FoundDog& b) {
                             return collator.compare(a.reg_name, b.reg_name) < 0;
                         });
        for (const char* text : {"kennel", "ke"}) {  // through the name index, and name by name
            EXPECT_EQ(Listed(FindDogs(store_, QString::fromLatin1(text), -1).dogs),
                      Listed(expected))
                << qPrintable(locale.name()) << " " << text;
        }
    }
    QLocale::setDefault(before);
}

TEST_F(FindDogSearchTest, LetterCaseDoesNotOrderTheListInTheCLocale) {
    Add("Misty Morning", true);
    Add("misty blue", true);
    Add("MISTY ACRES", true);
    Add("mistyc", true);
    const QLocale before;
    QLocale::setDefault(QLocale::c());
    const FindDogResult result = FindDogs(store_, QStringLiteral("misty"), -1);
    QLocale::setDefault(before);
    EXPECT_EQ(Names(result), (QStringList{"MISTY ACRES", "misty blue", "Misty Morning", "mistyc"}));
}

}  // namespace
}  // namespace lineara
