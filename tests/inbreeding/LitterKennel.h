#pragma once

#include "store/DogDatabase.h"

#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <QDate>

#include <random>
#include <vector>

namespace lineara::test {

// A kennel on file of litters of three, parents drawn from the latest 30 dogs and bitches; every pup holds
// IC 0.5 to begin with. Every dog is born on `born` plus a week per litter (no date when
// `born` is not valid).
inline QString MakeLitterKennel(const test::TempWorkDir& work, int litters, const QString& name = QStringLiteral("Kennel.mdb"),
                               const QDate& born = {}) {
    const QString path = work.File(name);
    test::CreateDatabase(path);
    const std::shared_ptr<DogDatabase> database = DogDatabase::Open(path);
    DogDatabase::Transaction transaction(*database);
    int litter = 0;
    auto add = [&](const QString& dog_name, bool male, qint32 sire, qint32 dam, bool with_ic) {
        DogRecord dog;
        if (born.isValid()) dog.SetValue(Field::DOB, born.addDays(7 * litter));
        dog.SetValue(Field::RegName, dog_name);
        dog.SetValue(Field::SexMale, male);
        dog.SetValue(Field::SireID, sire);
        dog.SetValue(Field::DamID, dam);
        if (with_ic) dog.SetValue(Field::IC, 0.5);
        return database->InsertRow(dog);
    };
    std::vector<qint32> males{add(QStringLiteral("Founder Dog"), true, 0, 0, false)};
    std::vector<qint32> females{add(QStringLiteral("Founder, \"Bitch\""), false, 0, 0, false)};
    std::mt19937 random(3);
    for (int i = 0; i < litters; ++i) {
        auto recent = [&random](const std::vector<qint32>& pool) {
            const std::size_t from = pool.size() > 30 ? pool.size() - 30 : 0;
            return pool[std::uniform_int_distribution<std::size_t>(from, pool.size() - 1)(random)];
        };
        const qint32 sire = recent(males);
        const qint32 dam = recent(females);
        litter = i + 1;
        for (int pup = 0; pup < 3; ++pup) {
            const bool male = pup != 1;
            (male ? males : females).push_back(add(QStringLiteral("Pup %1-%2").arg(i).arg(pup), male, sire, dam, true));
        }
    }
    transaction.Commit();
    return path;
}

}  // namespace lineara::test
