#pragma once

#include "store/DogDatabase.h"
#include "store/DogRecord.h"

#include <QString>

#include <functional>
#include <vector>

namespace lineara {

// A large pedigree held compactly in memory (a few bytes a dog, so a million dogs fit
// easily), from the synthetic generator or a pedigree file. Dogs are numbered by position
// from 1, parents always before their offspring; written into a new database, the dog at
// position n gets DogID n.
class Pedigree {
public:
    // The titles the generator hands out, one bit each in Dog::titles.
    static const std::vector<Field>& TitleFields();

    // How a dog's registered name is written.
    enum class Variant : quint8 {
        Plain,
        UpperCase,     // the same name in capitals: a "same name" duplicate
        DoubledLetter  // one letter written twice: a "similar name" duplicate
    };

    struct Dog {
        qint32 sire = 0;   // position of the father, 0 = unknown
        qint32 dam = 0;    // position of the mother, 0 = unknown
        quint32 name = 0;  // name number (see RegNameOf); equal numbers give the same name
        qint32 born = 0;   // Julian day of birth, 0 = unknown
        quint16 titles = 0;
        quint16 generation = 0;
        bool male = false;
        Variant variant = Variant::Plain;
    };

    qint32 Size() const { return static_cast<qint32>(dogs_.size()); }
    bool IsEmpty() const { return dogs_.empty(); }
    // The dog at a position, 1 to Size().
    const Dog& At(qint32 position) const {
        return dogs_.at(static_cast<std::size_t>(position - 1));
    }

    // Appends a dog and returns its position. Its parents must already be in the pedigree;
    // throws std::invalid_argument otherwise. A non-empty name replaces the composed one.
    qint32 Add(const Dog& dog, const QString& name = QString());
    // Gives a dog already in the pedigree other parents, under the same rule as Add.
    void SetParents(qint32 position, qint32 sire, qint32 dam);
    void Reserve(qint32 count) { dogs_.reserve(static_cast<std::size_t>(count)); }

    // The registered name: the given one, or one composed from the name number, such as
    // "Stonebrook Amber Echo" (numbers above the word combinations add "of Place").
    QString RegNameOf(qint32 position) const;
    // The dog as a database row. SireID and DamID hold the parents' positions.
    DogRecord RecordOf(qint32 position) const;

    // Writes every dog into the database in one transaction and returns the DogIDs given,
    // index for index with the positions (element 0 is position 1). The progress function,
    // when given, hears the number of dogs written now and then.
    std::vector<qint32> WriteTo(DogDatabase& database,
                                const std::function<void(qint32)>& progress = {}) const;

    // The pedigree as kennel text. Parents are named by their registered names, so a
    // pedigree whose names repeat exactly (ignoring the variants) does not read back.
    QString ToKennelText() const;

private:
    std::vector<Dog> dogs_;
    std::vector<QString> names_;  // given names by position - 1; empty when none was given
};

}  // namespace lineara
