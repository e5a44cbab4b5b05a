#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

namespace lineara {

// A date of birth as typed into the dog editor.
struct DateEntry {
    bool valid = false;  // false: the text is not a date the editor can take
    QDate date;          // a null date for an empty entry (the field becomes Null)
};

inline const QString kInvalidDateTitle = QStringLiteral("Invalid Date");
inline const QString kInvalidDateText = QStringLiteral(
    "The date entered under Date of Birth is not valid, either because it is not a valid date "
    "or it is entered in an invalid format.  Please clear the field or enter a valid date "
    "(e.g. 12 Feb 2000).");

// Reads a date of birth the way people write one: the locale's short form (a two-digit year
// is taken as the latest such year that does not put the date in the future), its long form,
// ISO 2000-02-12, and forms with a month name such as 12 Feb 2000, 12 February 2000,
// 12-Feb-2000 or Feb 12, 2000 (month names in the locale's language or in English, any
// letter case). Empty or blank text is valid and gives a null date. Impossible dates
// (31 Feb 2000) and anything else are not valid.
DateEntry ParseDateOfBirth(const QString& text, const QLocale& locale = QLocale());

// The date as the editor shows it: the locale's short form with a four-digit year; empty for
// a null date. The text reads back through ParseDateOfBirth as the same date.
QString FormatDateOfBirth(const QDate& date, const QLocale& locale = QLocale());

}  // namespace lineara
