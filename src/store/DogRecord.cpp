#include "store/DogRecord.h"

namespace lineara {

DogRecord::DogRecord() {
    for (int i = 0; i < kFieldCount; ++i) {
        values_[static_cast<std::size_t>(i)] = Normalise(FieldAt(i), QVariant());
    }
}

QVariant DogRecord::Normalise(Field field, const QVariant& value) {
    switch (KindOf(field)) {
        case FieldKind::Long:
            return QVariant::fromValue<qint32>(value.isNull() ? 0 : value.toInt());
        case FieldKind::YesNo:
            // Yes/No values arrive as bool, as -1/0 or as 1/0: any non-zero value is yes.
            if (value.isNull()) {
                return QVariant(false);
            }
            if (value.typeId() == QMetaType::Bool) {
                return QVariant(value.toBool());
            }
            return QVariant(value.toLongLong() != 0);
        case FieldKind::Text:
        case FieldKind::Memo: {
            if (value.isNull()) {
                return QVariant();
            }
            const QString text = value.toString();
            return text.isEmpty() ? QVariant() : QVariant(text);
        }
        case FieldKind::Date: {
            if (value.isNull()) {
                return QVariant();
            }
            if (value.typeId() == QMetaType::QDate) {
                return value.toDate().isValid() ? value : QVariant();
            }
            const QDate date = QDate::fromString(value.toString(), Qt::ISODate);
            return date.isValid() ? QVariant(date) : QVariant();
        }
        case FieldKind::Double:
            if (value.isNull()) {
                return QVariant();
            }
            return QVariant::fromValue<double>(value.toDouble());
    }
    return value;
}

void DogRecord::SetValue(Field field, const QVariant& value) {
    values_[static_cast<std::size_t>(field)] = Normalise(field, value);
}

QString DogRecord::Text(Field field) const {
    const QVariant& value = Value(field);
    return value.isNull() ? QString() : value.toString();
}

bool DogRecord::Flag(Field field) const { return Value(field).toBool(); }

qint32 DogRecord::Long(Field field) const { return Value(field).toInt(); }

QDate DogRecord::Date(Field field) const { return Value(field).toDate(); }

}  // namespace lineara
