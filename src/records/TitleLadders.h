#pragma once

#include "store/DogSchema.h"

#include <bitset>
#include <vector>

namespace lineara {

// The title ladders of the dog editor. Within a ladder a higher title implies the lower ones:
// checking a title also checks everything below it, unchecking it also unchecks everything
// above it. Titles outside the ladders (conformation, HIT, the ABHA, CKC and USDAA titles,
// TDI, the CGC titles) stand alone.
//
// A ladder may fork at the top: Am UDX and Am OTCh each imply Am UD and below, but neither
// implies the other.

// Applies the rule of the box the user just changed to the set of checked title boxes
// (indexed by field). The changed box itself takes its new state; a box without a ladder
// changes nothing else. Meant for the user's own changes only, never for showing a stored
// record, whose titles are shown as they were saved.
void ApplyTitleLadder(Field changed, bool now_checked, std::bitset<kFieldCount>& checked);

// Whether the title belongs to a ladder.
bool HasTitleLadder(Field field);

// Every title that belongs to a ladder, ladder by ladder, lowest title first.
std::vector<Field> TitleFieldsWithLadders();

}  // namespace lineara
