#include "chart/RepeatedAncestors.h"

#include <algorithm>
#include <unordered_map>

namespace lineara {

namespace {

// The side of the chart a place lies on: its generation-1 ancestor is 2 (sire) or 3 (dam).
bool OnSireSide(int position) {
    while (position > 3) {
        position /= 2;
    }
    return position == 2;
}

QString Times(int count) {
    return count == 1 ? QStringLiteral("1 time") : QStringLiteral("%1 times").arg(count);
}

}  // namespace

RepeatedAncestors RepeatedAncestors::Find(const ChartModel& model, int count) {
    RepeatedAncestors result;
    count = std::clamp(count, 0, kMaxPositions);
    // At most 127 places: a small open-addressed map would do as well, but this stays far
    // below a millisecond and reads plainly. The first place of each dog carries its tally.
    std::unordered_map<qint32, int> first_place;
    first_place.reserve(static_cast<std::size_t>(count) * 2);
    std::array<int, kMaxPositions + 1> first_of{};
    for (int p = 1; p <= count; ++p) {
        const qint32 dog = model.DogAt(p);
        if (dog == 0) {
            continue;
        }
        const auto [it, inserted] = first_place.try_emplace(dog, p);
        first_of[static_cast<std::size_t>(p)] = it->second;
        RepeatMark& tally = result.marks_[static_cast<std::size_t>(it->second)];
        if (p == 1) {
            tally.at_root = true;
        } else if (OnSireSide(p)) {
            ++tally.sire_side;
        } else {
            ++tally.dam_side;
        }
    }
    // Colours in the order of first places, then every place copies its dog's tally.
    for (int p = 1; p <= count; ++p) {
        const int first = first_of[static_cast<std::size_t>(p)];
        if (first == 0) {
            continue;
        }
        RepeatMark& tally = result.marks_[static_cast<std::size_t>(first)];
        if (first == p && tally.Total() > 1) {
            tally.colour_index = result.repeated_dogs_++ % static_cast<int>(RepeatPalette().size());
        }
        if (first != p) {
            result.marks_[static_cast<std::size_t>(p)] = tally;
        }
    }
    return result;
}

const RepeatMark& RepeatedAncestors::At(int position) const {
    static const RepeatMark kNone;
    if (position < 1 || position > kMaxPositions) {
        return kNone;
    }
    return marks_[static_cast<std::size_t>(position)];
}

const std::array<qint32, 16>& RepeatPalette() {
    // Pastel tints of well separated hues (written as 0xRRGGBB, stored as 0x00BBGGRR).
    static const std::array<qint32, 16> palette = [] {
        const std::array<qint32, 16> rgb{0xFFE08A, 0xA8DDF5, 0xB9EBA8, 0xF7B7C8, 0xD4C2F2, 0xFFC999,
                                         0x9EE6DA, 0xE6E68A, 0xC9D3E0, 0xF2A8A8, 0xBFD99A, 0xE8C4A0,
                                         0xB3C7FF, 0xF0C0F0, 0xD9F2B3, 0xFFD6A8};
        std::array<qint32, 16> bgr{};
        for (std::size_t i = 0; i < rgb.size(); ++i) {
            const qint32 r = (rgb[i] >> 16) & 0xFF, g = (rgb[i] >> 8) & 0xFF, b = rgb[i] & 0xFF;
            bgr[i] = (b << 16) | (g << 8) | r;
        }
        return bgr;
    }();
    return palette;
}

qint32 RepeatColour(int colour_index) {
    const auto& palette = RepeatPalette();
    const int size = static_cast<int>(palette.size());
    return palette[static_cast<std::size_t>(((colour_index % size) + size) % size)];
}

QString RepeatHint(const RepeatMark& mark) {
    if (!mark.Repeated()) {
        return {};
    }
    QString text = QStringLiteral("Appears %1: %2 on the sire's side, %3 on the dam's side")
                       .arg(Times(mark.Total()))
                       .arg(mark.sire_side)
                       .arg(mark.dam_side);
    if (mark.at_root) {
        text += QStringLiteral(", and as the dog itself");
    }
    return text;
}

}  // namespace lineara
