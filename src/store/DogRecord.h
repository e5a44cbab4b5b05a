#pragma once

#include "store/DogSchema.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <array>

namespace lineara {

// One row of DogInfo held in memory. A null QVariant is the database Null.
// Values are kept in their natural types: qint32 for Long, bool for Yes/No, QString for
// text and memo, QDate for dates and double for IC.
class DogRecord {
public:
    // A new record as the store creates it: numbers 0, Yes/No False, everything else Null.
    DogRecord();

    const QVariant& Value(Field field) const { return values_[static_cast<std::size_t>(field)]; }
    // Stores a value converted to the field's type; an empty text becomes Null, and Null in
    // a number or Yes/No field becomes 0 / False, since those fields never hold Null.
    void SetValue(Field field, const QVariant& value);

    bool IsNull(Field field) const { return Value(field).isNull(); }
    // Text of a field; a null QString for Null.
    QString Text(Field field) const;
    // Yes/No field; Null reads as False.
    bool Flag(Field field) const;
    // Long field; Null reads as 0.
    qint32 Long(Field field) const;
    QDate Date(Field field) const;

    qint32 DogID() const { return Long(Field::DogID); }

    bool operator==(const DogRecord& other) const = default;

    // Converts any value to what the field stores (see SetValue).
    static QVariant Normalise(Field field, const QVariant& value);

private:
    std::array<QVariant, kFieldCount> values_;
};

}  // namespace lineara
