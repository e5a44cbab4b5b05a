#pragma once

#include "chart/ViewState.h"

#include <QDate>
#include <QLocale>
#include <QString>

#include <array>

namespace lineara {

class RecordStore;

// Chart places are numbered from 1 (the root); the sire of p is 2p, the dam 2p + 1, the
// child p / 2. Six generations of ancestors need 127 places.
inline constexpr int kMaxPositions = 127;

// Places shown for the number of ancestor generations: 2^(G+1) - 1 (G = 0 gives the root).
int PositionCount(int generations);
// Generation of a place: 0 for the root, 1 for its parents, and so on.
int GenerationOf(int position);

// What one chart place shows.
struct ChartEntry {
    qint32 dog = 0;  // DogID standing here; 0 for an empty place
    bool champion = false;
    QString display_name;  // the composed name, or "[no information]"
    QString hint;          // tool tip
    QString info;          // the additional-information line, or empty

    bool operator==(const ChartEntry&) const = default;
};

// The filled places of the ancestry chart. Places above the number currently shown keep
// whatever an earlier, larger fill put there; the drawing ignores them.
class ChartModel {
public:
    static inline const QString kNoInformation = QStringLiteral("[no information]");
    static inline const QString kOccupiedHint =
        QStringLiteral("Left-click to place another dog here, Right-click for a pop-up menu");
    static inline const QString kEmptyHint = QStringLiteral("Click to put a dog here");
    // The root of a trial-mating chart: a puppy that is planned, not stored. Stored DogIDs
    // are positive, so no record or parent reference can name it.
    static constexpr qint32 kPlannedPuppy = -1;
    static inline const QString kTrialMatingName = QStringLiteral("Trial mating");
    static inline const QString kTrialMatingHint =
        QStringLiteral("A planned puppy of this pair: click to show another dog's lineara");

    // Place 1..127; any other number reads as an empty place.
    const ChartEntry& At(int position) const;
    qint32 DogAt(int position) const { return At(position).dog; }
    // Whether the dog stands anywhere in places 1..127, shown or not.
    bool Contains(qint32 dog) const;

    // Reads the root's ancestry from the store into places 1..N for the view's number of
    // generations, composing names in the view's title style. A root naming no record is
    // replaced by the table's first record (0 for an empty table) and written back to
    // root_dog_id. A parent naming a record that is gone counts as no parent. Moves the
    // store's cursor; database errors propagate.
    void FillChart(RecordStore& store, qint32& root_dog_id, const ViewState& view,
                   const QLocale& locale = QLocale());

    // The chart of a planned puppy of `sire` x `dam`: "Trial mating" at the root, the pair as
    // its parents, and their ancestors as FillChart would read them. A parent with no record
    // shows as an empty place. Nothing is written to the store.
    void FillTrialMating(RecordStore& store, qint32 sire, qint32 dam, const ViewState& view,
                         const QLocale& locale = QLocale());
    bool IsTrialMating() const { return entries_[1].dog == kPlannedPuppy; }

    // Puts an entry in place 1..127 directly (sample charts, tests); other numbers are ignored.
    void SetEntry(int position, const ChartEntry& entry);

private:
    // Reads places first..count whose dogs are already set (each dog read sets its parents').
    void FillPlaces(RecordStore& store, int first, int count, const ViewState& view,
                    const QLocale& locale);

    std::array<ChartEntry, kMaxPositions + 1> entries_{};
};

// The additional-information texts that need formatting (exposed for the print and export
// code, which show the same lines).
// A date in the locale's short form, always with a four-digit year.
QString ShortDateText(const QDate& date, const QLocale& locale);
// "IC = 12.50%": the coefficient in percent with two decimals, rounded half away from zero.
QString InbreedingText(double coefficient, const QLocale& locale);

}  // namespace lineara
