#include "records/DateOfBirth.h"

#include "chart/ChartModel.h"

#include <optional>
#include <vector>

namespace lineara {

namespace {

struct Token {
    QString text;
    bool number = false;
    int value = 0;  // for numbers
};

bool IsSeparator(QChar c) {
    return c.isSpace() || c == QLatin1Char(',') || c == QLatin1Char('.') || c == QLatin1Char('-') ||
           c == QLatin1Char('/');
}

bool IsLetterLike(QChar c) {
    return c.isLetter() || c.isMark();
}

// Splits the text into runs of digits and runs of letters. Nothing is returned when the text
// holds anything that is neither part of a date nor a separator, or a number too long to be
// part of one.
std::optional<std::vector<Token>> Tokenise(const QString& text) {
    std::vector<Token> tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (IsSeparator(c)) {
            ++i;
            continue;
        }
        Token token;
        if (c.isDigit()) {
            token.number = true;
            while (i < text.size() && text.at(i).isDigit()) {
                token.text += text.at(i);
                token.value = token.value * 10 + text.at(i).digitValue();
                if (token.text.size() > 4) {
                    return std::nullopt;
                }
                ++i;
            }
        } else if (IsLetterLike(c)) {
            while (i < text.size() && IsLetterLike(text.at(i))) {
                token.text += text.at(i);
                ++i;
            }
        } else {
            return std::nullopt;
        }
        tokens.push_back(token);
    }
    return tokens;
}

bool SameWord(const QString& word, QString name) {
    if (name.endsWith(QLatin1Char('.'))) {
        name.chop(1);
    }
    return !name.isEmpty() && word.compare(name, Qt::CaseInsensitive) == 0;
}

const QLocale& English() {
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english;
}

// 1..12 for a month name (long or short, in the locale's language or in English), else 0.
int MonthNumber(const QString& word, const QLocale& locale) {
    if (word.compare(QLatin1String("Sept"), Qt::CaseInsensitive) == 0) {
        return 9;
    }
    for (const QLocale* names : {&locale, &English()}) {
        for (int month = 1; month <= 12; ++month) {
            for (const QLocale::FormatType form : {QLocale::LongFormat, QLocale::ShortFormat}) {
                if (SameWord(word, names->monthName(month, form)) ||
                    SameWord(word, names->standaloneMonthName(month, form))) {
                    return month;
                }
            }
        }
    }
    return 0;
}

bool IsWeekdayName(const QString& word, const QLocale& locale) {
    for (const QLocale* names : {&locale, &English()}) {
        for (int day = 1; day <= 7; ++day) {
            for (const QLocale::FormatType form : {QLocale::LongFormat, QLocale::ShortFormat}) {
                if (SameWord(word, names->dayName(day, form)) ||
                    SameWord(word, names->standaloneDayName(day, form))) {
                    return true;
                }
            }
        }
    }
    return false;
}

bool IsOrdinalSuffix(const QString& word) {
    for (const char* suffix : {"st", "nd", "rd", "th"}) {
        if (word.compare(QLatin1String(suffix), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// Order of day, month and year in the locale's short date form, e.g. "MDY" for the US.
QString NumericOrder(const QLocale& locale) {
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString order;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        const QChar field = c == QLatin1Char('d')   ? QLatin1Char('D')
                            : c == QLatin1Char('M') ? QLatin1Char('M')
                            : c == QLatin1Char('y') ? QLatin1Char('Y')
                                                    : QChar();
        if (!quoted && !field.isNull() && !order.contains(field)) {
            order += field;
        }
    }
    return order.size() == 3 ? order : QStringLiteral("DMY");
}

// A year written with one or two digits is the latest year ending in those digits that does
// not put the date in the future: a date of birth lies behind us.
int FullYear(const Token& year, int month, int day) {
    if (year.text.size() > 2) {
        return year.value;
    }
    const int recent = QDate::currentDate().year() / 100 * 100 + year.value;
    const QDate candidate(recent, month, day);
    return candidate.isValid() && candidate <= QDate::currentDate() ? recent : recent - 100;
}

DateEntry Make(const Token& year, int month, const Token& day) {
    if (day.text.size() > 2 || year.text.size() == 3) {
        return {};
    }
    const QDate date(FullYear(year, month, day.value), month, day.value);
    return date.isValid() ? DateEntry{true, date} : DateEntry{};
}

}  // namespace

DateEntry ParseDateOfBirth(const QString& text, const QLocale& locale) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return {true, QDate()};
    }
    // The locale's long form may hold words of its own ("12 de febrero de 2000").
    if (const QDate date = locale.toDate(trimmed, QLocale::LongFormat); date.isValid()) {
        return {true, date};
    }

    const auto all = Tokenise(trimmed);
    if (!all) {
        return {};
    }
    std::vector<Token> numbers;
    int month_name = 0;
    for (std::size_t i = 0; i < all->size(); ++i) {
        const Token& token = (*all)[i];
        if (token.number) {
            numbers.push_back(token);
            continue;
        }
        if (const int month = MonthNumber(token.text, locale); month != 0 && month_name == 0) {
            month_name = month;
        } else if (IsOrdinalSuffix(token.text) && i > 0 && (*all)[i - 1].number) {
            continue;  // 12th Feb 2000
        } else if (!IsWeekdayName(token.text, locale)) {
            return {};
        }
    }

    if (month_name != 0) {
        // 12 Feb 2000, Feb 12, 2000, 2000 Feb 12: the four-digit number is the year;
        // with two short numbers the day comes first.
        if (numbers.size() != 2) {
            return {};
        }
        const Token& a = numbers[0];
        const Token& b = numbers[1];
        if (a.text.size() == 4 && b.text.size() <= 2) {
            return Make(a, month_name, b);
        }
        return Make(b, month_name, a);
    }

    if (numbers.size() != 3) {
        return {};
    }
    // A leading four-digit year reads year-month-day whatever the locale (ISO 2000-02-12).
    if (numbers[0].text.size() == 4) {
        if (numbers[1].text.size() > 2) {
            return {};
        }
        return Make(numbers[0], numbers[1].value, numbers[2]);
    }
    const QString order = NumericOrder(locale);
    const Token& day = numbers[static_cast<std::size_t>(order.indexOf(QLatin1Char('D')))];
    const Token& month = numbers[static_cast<std::size_t>(order.indexOf(QLatin1Char('M')))];
    const Token& year = numbers[static_cast<std::size_t>(order.indexOf(QLatin1Char('Y')))];
    if (month.text.size() > 2) {
        return {};
    }
    return Make(year, month.value, day);
}

QString FormatDateOfBirth(const QDate& date, const QLocale& locale) {
    return date.isValid() ? ShortDateText(date, locale) : QString();
}

}  // namespace lineara
