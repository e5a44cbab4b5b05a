#pragma once

#include "store/DogRecord.h"

#include <QString>
#include <QVariant>

#include <span>

namespace lineara {

// Which country's titles are written without a country: American style writes American
// titles bare and Canadian ones with "Can", Canadian style the other way round.
enum class TitleStyle { American, Canadian };

// The registered name with the dog's titles written around it, in kennel-club order.
// A Null RegName composes as the empty name, so the result is then the titles alone.
QString ComposeDisplayName(const DogRecord& dog, TitleStyle style);

// Whether the dog is drawn in the champion name style.
bool IsChampion(const DogRecord& dog);

// The text without control characters (0..31) and without the euro sign (what code 128
// stands for in the Windows Western code page). Null reads as the empty text.
QString CleanText(const QString& text);
QString CleanText(const QVariant& value);

// The fields ComposeDisplayName and IsChampion read. A record holding only these (the others
// left at their defaults) composes to the same name as the full record; the chart reads
// just these, since it composes up to 127 names per fill.
std::span<const Field> DisplayNameFields();

}  // namespace lineara
