#include "maintenance/RecordFold.h"

#include "maintenance/DuplicateKey.h"

namespace lineara {

namespace {

bool IsJoinedText(Field field) {
    switch (field) {
        case Field::OtherPostTitles:
        case Field::OtherPreTitles:
        case Field::OtherCh:
        case Field::Certifications:
        case Field::Description:
            return true;
        default:
            return false;
    }
}

// Two texts joined by a separator and trimmed. A join longer than the column takes is cut to
// fit rather than failing the whole clean-up over one long note.
QVariant Joined(Field field, const QString& first, const QString& second,
                const QString& separator) {
    QString text = TrimBlanks(first + separator + second);
    const int limit = MaxLengthOf(field);
    if (limit > 0 && text.size() > limit) {
        text = TrimBlanks(text.left(limit));
    }
    return text;
}

}  // namespace

DogRecord FoldRecords(const DogRecord& kept, const DogRecord& other) {
    DogRecord result = kept;
    for (int i = 0; i < kFieldCount; ++i) {
        const Field field = FieldAt(i);
        const QVariant& mine = kept.Value(field);
        const QVariant& theirs = other.Value(field);
        const FieldKind kind = KindOf(field);
        if (field == Field::SireID || field == Field::DamID) {
            if (kept.Long(field) == 0) {
                result.SetValue(field, theirs);
            }
        } else if (IsJoinedText(field)) {
            result.SetValue(
                field, Joined(field, kept.Text(field), other.Text(field), QStringLiteral(" ")));
        } else if (mine.isNull()) {
            result.SetValue(field, theirs);
        } else if (kind == FieldKind::Text && TrimBlanks(mine.toString()).isEmpty()) {
            result.SetValue(field, theirs);
        } else if (kind == FieldKind::YesNo && field != Field::SexMale) {
            result.SetValue(field, kept.Flag(field) || other.Flag(field));
        } else if (kind == FieldKind::Memo) {
            result.SetValue(
                field, Joined(field, kept.Text(field), other.Text(field), QStringLiteral("     ")));
        }
        // Anything else (the DogID, numbers, dates, the sex) is the kept record's.
    }
    return result;
}

}  // namespace lineara
