#pragma once

#include "store/RecordStore.h"

#include <QRandomGenerator>

#include <vector>

namespace lineara::test {

// A database of `count` dogs with every kind of field filled at random: texts with commas,
// quotes, line breaks, formula characters and non-ASCII letters, dates, Yes/No flags, IC and
// parents. Names are unique ignoring case, so the clean-up after an import folds nothing.
inline std::vector<qint32> FillRandomKennel(RecordStore& store, int count, quint32 seed) {
    QRandomGenerator random(seed);
    const QStringList pieces{QStringLiteral("Rex"),        QStringLiteral("Müller"),
                             QStringLiteral("a, b"),       QStringLiteral("\"Q\""),
                             QStringLiteral("=SUM(1)"),    QStringLiteral("@x"),
                             QStringLiteral("two\nlines"), QStringLiteral("Ærø"),
                             QStringLiteral("-5"),         QStringLiteral(" ")};
    auto text = [&] {
        QString t;
        const int n = random.bounded(1, 4);
        for (int i = 0; i < n; ++i) {
            t += pieces.at(random.bounded(static_cast<int>(pieces.size())));
        }
        return t;
    };
    std::vector<qint32> ids;
    for (int k = 0; k < count; ++k) {
        store.AddNew();
        store.SetValue(Field::RegName, QStringLiteral("%1 Dog %2").arg(text()).arg(k));
        for (int i = 0; i < kFieldCount; ++i) {
            const Field field = FieldAt(i);
            if (field == Field::DogID || field == Field::RegName ||
                field == Field::SystemUseLongInt || field == Field::SystemUseText ||
                random.bounded(3) == 0) {
                continue;
            }
            switch (KindOf(field)) {
                case FieldKind::Text:
                case FieldKind::Memo:
                    store.SetValue(field, text());
                    break;
                case FieldKind::YesNo:
                    store.SetValue(field, random.bounded(2) == 1);
                    break;
                case FieldKind::Date:
                    store.SetValue(field, QDate(1990, 1, 1).addDays(random.bounded(12000)));
                    break;
                case FieldKind::Double:
                    store.SetValue(field, random.generateDouble() / 3.0);
                    break;
                case FieldKind::Long:
                    if (!ids.empty()) {
                        store.SetValue(field, ids[static_cast<std::size_t>(
                                                  random.bounded(static_cast<int>(ids.size())))]);
                    }
                    break;
            }
        }
        store.Update();
        ids.push_back(store.LastModified().dog_id);
    }
    return ids;
}

}  // namespace lineara::test
