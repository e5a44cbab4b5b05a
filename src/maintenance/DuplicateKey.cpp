#include "maintenance/DuplicateKey.h"

#include "app/TrimBlanks.h"
#include "store/DogDatabase.h"

namespace lineara {

QString DuplicateKey(const QVariant& reg_name) {
    if (reg_name.isNull()) {
        return QString();
    }
    static const QString kept = QStringLiteral("BCDFGHJKLMNPQRTVWXZ");
    const QString name = TrimBlanks(reg_name.toString().toUpper());
    QString key;
    QChar previous;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        // Runs are collapsed before anything is dropped, so "BOBBY" keeps one B of its pair.
        if (i > 0 && c == previous) {
            continue;
        }
        previous = c;
        if (kept.contains(c)) {
            key += c;
        }
    }
    return key;
}

namespace {

// The stored name of a parent, or nothing when the number names no record.
std::optional<QString> ParentName(DogDatabase& database, qint32 parent_id) {
    if (parent_id <= 0) {
        return std::nullopt;
    }
    const std::optional<DogRecord> parent = database.ReadRow(parent_id);
    if (!parent) {
        return std::nullopt;
    }
    const QString name = parent->Text(Field::RegName);
    return name.isNull() ? QStringLiteral("") : name;
}

}  // namespace

QString DuplicateDescription(DogDatabase& database, const DogRecord& dog) {
    QString text = TrimBlanks(dog.Text(Field::RegName));
    const std::optional<QString> sire = ParentName(database, dog.Long(Field::SireID));
    const std::optional<QString> dam = ParentName(database, dog.Long(Field::DamID));
    if (sire || dam) {
        text += QStringLiteral(" (");
        if (sire) {
            text += QStringLiteral("by ") + *sire;
        }
        if (sire && dam) {
            text += QStringLiteral(", ");
        }
        if (dam) {
            text += QStringLiteral("out of ") + *dam;
        }
        text += QLatin1Char(')');
    }
    return text;
}

}  // namespace lineara
