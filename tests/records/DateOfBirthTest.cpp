#include "records/DateOfBirth.h"

#include <gtest/gtest.h>

namespace lineara {
namespace {

const QDate kFeb12(2000, 2, 12);

struct Typed {
    const char* text;
    QDate date;
};

TEST(DateOfBirth, AcceptsWhatPeopleTypeInTheUsLocale) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const Typed cases[] = {
        {"12 Feb 2000", kFeb12},       {"12 February 2000", kFeb12},
        {"12-Feb-2000", kFeb12},       {"Feb 12, 2000", kFeb12},
        {"  12 FEB 2000  ", kFeb12},   {"12th Feb. 2000", kFeb12},
        {"2000 Feb 12", kFeb12},       {"2000-02-12", kFeb12},
        {"2000-2-12", kFeb12},         {"2/12/2000", kFeb12},
        {"2/12/00", kFeb12},           {"12/31/99", QDate(1999, 12, 31)},
        {"12 Sept 2001", QDate(2001, 9, 12)},
        {"29 Feb 2000", QDate(2000, 2, 29)},
        {"Saturday, February 12, 2000", kFeb12},
    };
    for (const Typed& typed : cases) {
        SCOPED_TRACE(typed.text);
        const DateEntry entry = ParseDateOfBirth(QString::fromUtf8(typed.text), us);
        EXPECT_TRUE(entry.valid);
        EXPECT_EQ(entry.date, typed.date);
    }
    // A two-digit year never lies in the future; written out in full, it stands as it is.
    const QDate next_year = QDate::currentDate().addYears(1);
    EXPECT_EQ(ParseDateOfBirth(us.toString(next_year, QStringLiteral("M/d/yy")), us).date,
              next_year.addYears(-100));
    EXPECT_EQ(ParseDateOfBirth(us.toString(next_year, QStringLiteral("M/d/yyyy")), us).date,
              next_year);
}

TEST(DateOfBirth, RefusesImpossibleDatesAndTextButTakesNoDate) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    for (const char* text :
         {"31 Feb 2000", "29 Feb 1900", "abc", "2/30/2000", "13/12/2000", "12 Foo 2000", "12 Feb",
          "Feb 2000", "2/12", "2000-13-01", "1/2/3/4", "12:00", "12 Feb 2000 Feb", "12 Feb 200",
          "123/1/2000", "12 Feb 20000"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ParseDateOfBirth(QString::fromUtf8(text), us).valid);
    }
    for (const char* text : {"", "   ", "\t"}) {  // no date at all is fine
        const DateEntry entry = ParseDateOfBirth(QString::fromUtf8(text));
        EXPECT_TRUE(entry.valid);
        EXPECT_TRUE(entry.date.isNull());
    }
    EXPECT_TRUE(FormatDateOfBirth(QDate()).isEmpty());
}

// The order of day and month follows the locale; English month names work everywhere.
TEST(DateOfBirth, FollowsTheLocale) {
    const QLocale german(QLocale::German, QLocale::Germany);
    for (const char* text : {"12.02.2000", "12.2.00", "12. Februar 2000", "12 Feb 2000",
                             "12 February 2000", "2000-02-12"}) {
        SCOPED_TRACE(text);
        const DateEntry entry = ParseDateOfBirth(QString::fromUtf8(text), german);
        EXPECT_TRUE(entry.valid);
        EXPECT_EQ(entry.date, kFeb12);
    }
    const QLocale british(QLocale::English, QLocale::UnitedKingdom);
    EXPECT_EQ(ParseDateOfBirth(QStringLiteral("12/02/2000"), british).date, kFeb12);
    EXPECT_FALSE(ParseDateOfBirth(QStringLiteral("02/31/2000"), british).valid);
}

TEST(DateOfBirth, TheShownFormHasAFourDigitYearAndReadsBackAsTheSameDate) {
    EXPECT_EQ(FormatDateOfBirth(kFeb12, QLocale(QLocale::English, QLocale::UnitedStates)),
              "2/12/2000");
    const QDate dates[] = {kFeb12, QDate(1999, 12, 31), QDate(1987, 7, 4), QDate(2024, 1, 9)};
    for (const QLocale& locale :
         {QLocale(QLocale::English, QLocale::UnitedStates),
          QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::French, QLocale::France),
          QLocale(QLocale::Japanese, QLocale::Japan), QLocale(QLocale::English, QLocale::Canada),
          QLocale(QLocale::Dutch, QLocale::Netherlands)}) {
        for (const QDate& date : dates) {
            const QString shown = FormatDateOfBirth(date, locale);
            SCOPED_TRACE((locale.name() + QStringLiteral(" ") + shown).toStdString());
            EXPECT_TRUE(shown.contains(QString::number(date.year()))) << "a four-digit year";
            const DateEntry entry = ParseDateOfBirth(shown, locale);
            EXPECT_TRUE(entry.valid);
            EXPECT_EQ(entry.date, date);
        }
    }
}

}  // namespace
}  // namespace lineara
