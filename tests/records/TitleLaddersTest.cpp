#include "records/TitleLadders.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace lineara {
namespace {

using Fields = std::vector<Field>;
using Boxes = std::bitset<kFieldCount>;

// The dog editor's ladder table as the breeders' clubs define it, written out row by row.
struct Row {
    Field box;
    Fields checks;
    Fields unchecks;
};

const std::vector<Row>& LadderTable() {
    using F = Field;
    static const std::vector<Row> table = {
        {F::AmCD, {}, {F::AmCDX, F::AmUD, F::AmUDX, F::AmOTCh}},
        {F::AmCDX, {F::AmCD}, {F::AmUD, F::AmUDX, F::AmOTCh}},
        {F::AmUD, {F::AmCD, F::AmCDX}, {F::AmUDX, F::AmOTCh}},
        {F::AmUDX, {F::AmCD, F::AmCDX, F::AmUD}, {}},
        {F::AmOTCh, {F::AmCD, F::AmCDX, F::AmUD}, {}},
        {F::CanCD, {}, {F::CanCDX, F::CanOTCh}},
        {F::CanCDX, {F::CanCD}, {F::CanOTCh}},
        {F::CanOTCh, {F::CanCD, F::CanCDX}, {}},
        {F::FD, {}, {F::FDX, F::FDCh}},
        {F::FDX, {F::FD}, {F::FDCh}},
        {F::FDCh, {F::FD, F::FDX}, {}},
        {F::HT, {}, {F::PT, F::HS, F::HI, F::HX, F::HCh}},
        {F::PT, {F::HT}, {F::HS, F::HI, F::HX, F::HCh}},
        {F::HS, {F::HT, F::PT}, {F::HI, F::HX, F::HCh}},
        {F::HI, {F::HT, F::PT, F::HS}, {F::HX, F::HCh}},
        {F::HX, {F::HT, F::PT, F::HS, F::HI}, {F::HCh}},
        {F::HCh, {F::HT, F::PT, F::HS, F::HI, F::HX}, {}},
        {F::NA, {}, {F::OA, F::AX}},
        {F::OA, {F::NA}, {F::AX}},
        {F::AX, {F::NA, F::OA}, {}},
        {F::ADC, {}, {F::AADC, F::MADC}},
        {F::AADC, {F::ADC}, {F::MADC}},
        {F::MADC, {F::ADC, F::AADC}, {}},
        {F::UAgI, {}, {F::UAgII, F::UAgIII, F::UACh}},
        {F::UAgII, {F::UAgI}, {F::UAgIII, F::UACh}},
        {F::UAgIII, {F::UAgI, F::UAgII}, {F::UACh}},
        {F::UACh, {F::UAgI, F::UAgII, F::UAgIII}, {}},
    };
    return table;
}

Boxes Only(Field box, const Fields& also) {
    Boxes boxes;
    boxes.set(static_cast<std::size_t>(IndexOf(box)));
    for (const Field field : also) {
        boxes.set(static_cast<std::size_t>(IndexOf(field)));
    }
    return boxes;
}

Boxes All() {
    Boxes boxes;
    boxes.set();
    return boxes;
}

TEST(TitleLadders, EveryRowChecksAndUnchecksExactlyItsLadderAndOtherBoxesOnlyThemselves) {
    std::set<Field> laddered;
    for (const Row& row : LadderTable()) {
        SCOPED_TRACE(NameOf(row.box));
        laddered.insert(row.box);
        Boxes boxes;
        ApplyTitleLadder(row.box, true, boxes);
        EXPECT_EQ(boxes, Only(row.box, row.checks));
        boxes = All();
        ApplyTitleLadder(row.box, false, boxes);
        EXPECT_EQ(~boxes, Only(row.box, row.unchecks));
    }
    const Fields listed = TitleFieldsWithLadders();
    EXPECT_EQ(std::set<Field>(listed.begin(), listed.end()), laddered);
    for (int i = 0; i < kFieldCount; ++i) {
        const Field field = FieldAt(i);
        if (laddered.count(field) == 0) {
            EXPECT_FALSE(HasTitleLadder(field)) << NameOf(field);
            Boxes boxes = All();
            ApplyTitleLadder(field, false, boxes);
            EXPECT_EQ(~boxes, Only(field, {})) << NameOf(field);
        }
    }
}

}  // namespace
}  // namespace lineara
