#pragma once

#include "store/DogSchema.h"

#include <QString>

namespace lineara {

// One search criterion of the forms the program uses:
//   DogID=n, SireID=n, DamID=n, SystemUseLongInt=n, SystemUseLongInt>n   (numbers)
//   RegName="text", SystemUseText="text"                                  (case ignored)
// Built either from its text or from typed values; it always reaches SQLite as a bound
// parameter, never as SQL text.
struct Criterion {
    enum class Op { Equal, Greater };

    Field field = Field::DogID;
    Op op = Op::Equal;
    qint64 number = 0;
    QString text;

    bool IsText() const { return IsTextKind(KindOf(field)); }

    static Criterion Equals(Field field, qint64 value) { return {field, Op::Equal, value, {}}; }
    static Criterion Greater(Field field, qint64 value) { return {field, Op::Greater, value, {}}; }
    static Criterion TextEquals(Field field, const QString& value) {
        return {field, Op::Equal, 0, value};
    }
    static Criterion ById(qint32 dog_id) { return Equals(Field::DogID, dog_id); }
    static Criterion ByRegName(const QString& name) {
        return TextEquals(Field::RegName, name.trimmed());
    }

    // Parses a criterion text. A quoted value runs from the first to the last double quote,
    // so a name holding quotes needs no escaping. Throws std::invalid_argument for any other
    // form.
    static Criterion Parse(const QString& criteria);

    QString ToText() const;
};

}  // namespace lineara
