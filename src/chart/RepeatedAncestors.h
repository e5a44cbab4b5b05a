#pragma once

#include "chart/ChartModel.h"

#include <QString>

#include <array>

namespace lineara {

// How often the dog of a place stands on the chart, and the mark it gets when it stands
// there more than once.
struct RepeatMark {
    int colour_index = -1;  // into RepeatPalette(); -1 when the dog is not repeated
    int sire_side = 0;      // places on the sire's side (2, 4, 5, 8..11, ...)
    int dam_side = 0;       // places on the dam's side (3, 6, 7, 12..15, ...)
    bool at_root = false;   // the dog is the root too (it is its own ancestor)

    bool Repeated() const { return colour_index >= 0; }
    int Total() const { return sire_side + dam_side + (at_root ? 1 : 0); }
    bool operator==(const RepeatMark&) const = default;
};

// The dogs standing at more than one of the places 1..count. Each repeated dog gets its own
// colour, handed out in the order of the dogs' first places, so the same chart always gets
// the same colours; only when there are more repeated dogs than colours does one repeat.
class RepeatedAncestors {
public:
    static RepeatedAncestors Find(const ChartModel& model, int count);

    // Place 1..127; any other place reads as not repeated.
    const RepeatMark& At(int position) const;
    int RepeatedDogs() const { return repeated_dogs_; }

private:
    std::array<RepeatMark, kMaxPositions + 1> marks_{};
    int repeated_dogs_ = 0;
};

// The mark colours (0x00BBGGRR): light enough for black or coloured names on top to stay
// readable, distinct from one another on screen and in print.
const std::array<qint32, 16>& RepeatPalette();
qint32 RepeatColour(int colour_index);

// The tool tip of a repeated place: "Appears 3 times: 2 on the sire's side, 1 on the dam's side".
QString RepeatHint(const RepeatMark& mark);

// How far the coloured mark stands out around a name, as a fraction of the name's height.
inline constexpr double kRepeatMarkMargin = 0.08;

}  // namespace lineara
