#include "records/TitleLadders.h"

#include <array>
#include <span>

namespace lineara {

namespace {

// A step of a ladder: titles of a higher rank imply every title of a lower rank in the same
// ladder. Two titles of the same rank are alternatives at that height and imply nothing
// about each other.
struct Rung {
    Field title;
    int rank;
};

constexpr Rung kAmericanObedience[] = {
    {Field::AmCD, 0}, {Field::AmCDX, 1}, {Field::AmUD, 2}, {Field::AmUDX, 3}, {Field::AmOTCh, 3},
};
constexpr Rung kCanadianObedience[] = {{Field::CanCD, 0}, {Field::CanCDX, 1}, {Field::CanOTCh, 2}};
constexpr Rung kFlyball[] = {{Field::FD, 0}, {Field::FDX, 1}, {Field::FDCh, 2}};
constexpr Rung kAkcHerding[] = {
    {Field::HT, 0}, {Field::PT, 1}, {Field::HS, 2}, {Field::HI, 3}, {Field::HX, 4}, {Field::HCh, 5},
};
constexpr Rung kAkcAgility[] = {{Field::NA, 0}, {Field::OA, 1}, {Field::AX, 2}};
constexpr Rung kAacAgility[] = {{Field::ADC, 0}, {Field::AADC, 1}, {Field::MADC, 2}};
constexpr Rung kUkcAgility[] = {
    {Field::UAgI, 0},
    {Field::UAgII, 1},
    {Field::UAgIII, 2},
    {Field::UACh, 3},
};

constexpr std::array<std::span<const Rung>, 7> kLadders = {
    kAmericanObedience, kCanadianObedience, kFlyball,    kAkcHerding,
    kAkcAgility,        kAacAgility,        kUkcAgility,
};

struct Found {
    std::span<const Rung> ladder;
    int rank = -1;
};

Found LadderOf(Field field) {
    for (const auto ladder : kLadders) {
        for (const Rung& rung : ladder) {
            if (rung.title == field) {
                return {ladder, rung.rank};
            }
        }
    }
    return {};
}

}  // namespace

void ApplyTitleLadder(Field changed, bool now_checked, std::bitset<kFieldCount>& checked) {
    checked.set(static_cast<std::size_t>(IndexOf(changed)), now_checked);
    const Found found = LadderOf(changed);
    for (const Rung& rung : found.ladder) {
        const bool implied = now_checked ? rung.rank < found.rank : rung.rank > found.rank;
        if (implied) {
            checked.set(static_cast<std::size_t>(IndexOf(rung.title)), now_checked);
        }
    }
}

bool HasTitleLadder(Field field) {
    return LadderOf(field).rank >= 0;
}

std::vector<Field> TitleFieldsWithLadders() {
    std::vector<Field> fields;
    for (const auto ladder : kLadders) {
        for (const Rung& rung : ladder) {
            fields.push_back(rung.title);
        }
    }
    return fields;
}

}  // namespace lineara
