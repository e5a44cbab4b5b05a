#include "chart/DisplayName.h"

#include <array>

namespace lineara {

namespace {

constexpr QChar kEuroSign{0x20AC};

// Blanks are spaces only: a leading tab is left for CleanText to drop, as it always was.
QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' ')) {
        ++first;
    }
    while (last > first && text.at(last - 1) == QLatin1Char(' ')) {
        --last;
    }
    return text.mid(first, last - first);
}

// A title held in one or both countries. The bare kind is the title of the style's own
// country; the other country is named; both together read "Am/Can" in either style.
QString CountryTitle(bool american, bool canadian, TitleStyle style, const QString& kind) {
    if (american && canadian) {
        return QStringLiteral("Am/Can ") + kind;
    }
    if (canadian) {
        return style == TitleStyle::American ? QStringLiteral("Can ") + kind : kind;
    }
    if (american) {
        return style == TitleStyle::American ? kind : QStringLiteral("Am ") + kind;
    }
    return {};
}

QString Prefix(const QString& title) {
    return title.isEmpty() ? title : title + QLatin1Char(' ');
}
QString Suffix(const QString& title) {
    return title.isEmpty() ? title : QLatin1Char(' ') + title;
}

// A free-text title counts when it holds anything besides control characters; blanks alone
// do count, and then trim to nothing around the separating space.
bool HasFreeText(const DogRecord& dog, Field field) {
    return !dog.IsNull(field) && !CleanText(dog.Value(field)).isEmpty();
}

QString ConformationChampion(const DogRecord& dog, TitleStyle style) {
    const bool am = dog.Flag(Field::AmCh);
    const bool can = dog.Flag(Field::CanCh);
    if (!dog.IsNull(Field::OtherCh)) {
        const QString other = CleanText(dog.Value(Field::OtherCh));
        if (!other.isEmpty()) {
            // With other countries the known ones are always named, whatever the style.
            QString countries;
            if (am && can) {
                countries = QStringLiteral("Am/Can/");
            } else if (can) {
                countries = QStringLiteral("Can/");
            } else if (am) {
                countries = QStringLiteral("Am/");
            }
            return countries + other + QStringLiteral(" Ch ");
        }
    }
    return Prefix(CountryTitle(am, can, style, QStringLiteral("Ch")));
}

struct SimpleTitle {
    Field field;
    Field hidden_by;  // Field::DogID when nothing hides it
    const char* text;
};

// Suffix rows after the obedience and good-citizen titles, in the order they are written.
constexpr std::array<SimpleTitle, 31> kLaterSuffixes{{
    {Field::TDI, Field::DogID, " TDI"},
    {Field::HC, Field::DogID, " HC"},
    {Field::HT, Field::PT, " HT"},
    {Field::PT, Field::HS, " PT"},
    {Field::HS, Field::HI, " HS"},
    {Field::HI, Field::HX, " HI"},
    {Field::HX, Field::HCh, " HX"},
    {Field::HTD, Field::DogID, " HTD"},
    {Field::HRD, Field::DogID, " HRD"},
    {Field::HCT, Field::DogID, " HCT"},
    {Field::JHD, Field::DogID, " JHD"},
    {Field::FD, Field::FDX, " FD"},
    {Field::FDX, Field::FDCh, " FDX"},
    {Field::NA, Field::OA, " NA"},
    {Field::OA, Field::AX, " OA"},
    {Field::AX, Field::DogID, " AX"},
    {Field::ADC, Field::AADC, " ADC"},
    {Field::AADC, Field::MADC, " AADC"},
    {Field::MADC, Field::DogID, " MADC"},
    {Field::UAgI, Field::UAgII, " U-AgI"},
    {Field::UAgII, Field::UAgIII, " U-AgII"},
    {Field::UAgIII, Field::UACh, " U-AgIII"},
    {Field::AD, Field::DogID, " AD"},
    {Field::VAD, Field::DogID, " VAD"},
    {Field::MAD, Field::DogID, " MAD"},
    {Field::SM, Field::DogID, " SM"},
    {Field::GM, Field::DogID, " GM"},
    {Field::PM, Field::DogID, " PM"},
    {Field::JM, Field::DogID, " JM"},
    {Field::ROM, Field::DogID, " ROM"},
    {Field::ROMC, Field::DogID, " ROMC"},
}};

// Prefix rows after the conformation and obedience championships.
constexpr std::array<SimpleTitle, 5> kLaterPrefixes{{
    {Field::UACh, Field::DogID, "U-ACh "},
    {Field::FDCh, Field::DogID, "FDCh "},
    {Field::ADCh, Field::DogID, "ADCh "},
    {Field::HTCh, Field::DogID, "HTCh "},
    {Field::HCh, Field::DogID, "HCh "},
}};

constexpr std::array<SimpleTitle, 5> kShowPrefixes{{
    {Field::BISS, Field::DogID, "BISS "},
    {Field::BIS, Field::DogID, "BIS "},
    {Field::BPISS, Field::DogID, "BPISS "},
    {Field::BPIS, Field::DogID, "BPIS "},
    {Field::HIT, Field::DogID, "HIT "},
}};

bool Holds(const DogRecord& dog, const SimpleTitle& title) {
    return dog.Flag(title.field) && (title.hidden_by == Field::DogID || !dog.Flag(title.hidden_by));
}

template <std::size_t Size>
void AppendTitles(QString& out, const DogRecord& dog, const std::array<SimpleTitle, Size>& titles) {
    for (const SimpleTitle& title : titles) {
        if (Holds(dog, title)) {
            out += QLatin1String(title.text);
        }
    }
}

// Every title column lies between AmCh and CanCGC in table order.
constexpr auto kNameFields = [] {
    std::array<Field, 4 + (kLastTitleField - kFirstTitleField + 1) + 1> fields{};
    std::size_t n = 0;
    for (const Field field :
         {Field::RegName, Field::OtherCh, Field::OtherPreTitles, Field::OtherPostTitles}) {
        fields[n++] = field;
    }
    for (int i = kFirstTitleField; i <= kLastTitleField; ++i) {
        fields[n++] = FieldAt(i);
    }
    fields[n++] = Field::ForceCh;
    return fields;
}();

}  // namespace

QString CleanText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 32 && c != kEuroSign) {
            out += c;
        }
    }
    return out;
}

QString CleanText(const QVariant& value) {
    return value.isNull() ? QString() : CleanText(value.toString());
}

QString ComposeDisplayName(const DogRecord& dog, TitleStyle style) {
    const bool american = style == TitleStyle::American;
    QString out;
    out.reserve(96);

    AppendTitles(out, dog, kShowPrefixes);
    out += ConformationChampion(dog, style);
    out += Prefix(CountryTitle(dog.Flag(Field::AmOTCh), dog.Flag(Field::CanOTCh), style,
                               QStringLiteral("OTCh")));
    AppendTitles(out, dog, kLaterPrefixes);
    if (HasFreeText(dog, Field::OtherPreTitles)) {
        out += TrimBlanks(dog.Text(Field::OtherPreTitles)) + QLatin1Char(' ');
    }

    out += TrimBlanks(dog.Text(Field::RegName));

    // Each obedience rung hides the one below it; a Canadian CDX gives way to the Canadian
    // OTCh, as there is no Canadian UD.
    const bool am_cd = dog.Flag(Field::AmCD) && !dog.Flag(Field::AmCDX);
    const bool can_cd = dog.Flag(Field::CanCD) && !dog.Flag(Field::CanCDX);
    const bool am_cdx = dog.Flag(Field::AmCDX) && !dog.Flag(Field::AmUD);
    const bool can_cdx = dog.Flag(Field::CanCDX) && !dog.Flag(Field::CanOTCh);
    out += Suffix(CountryTitle(am_cd, can_cd, style, QStringLiteral("CD")));
    out += Suffix(CountryTitle(am_cdx, can_cdx, style, QStringLiteral("CDX")));
    if (dog.Flag(Field::AmUD) && !dog.Flag(Field::AmUDX)) {
        out += american ? QStringLiteral(" UD") : QStringLiteral(" Am UD");
    }
    if (dog.Flag(Field::AmUDX)) {
        out += american ? QStringLiteral(" UDX") : QStringLiteral(" Am UDX");
    }
    out += Suffix(CountryTitle(dog.Flag(Field::AmCGC), dog.Flag(Field::CanCGC), style,
                               QStringLiteral("CGC")));
    AppendTitles(out, dog, kLaterSuffixes);
    if (HasFreeText(dog, Field::OtherPostTitles)) {
        out += QLatin1Char(' ') + TrimBlanks(dog.Text(Field::OtherPostTitles));
    }
    return CleanText(out);
}

bool IsChampion(const DogRecord& dog) {
    for (const Field field :
         {Field::ForceCh, Field::CanCh, Field::AmCh, Field::CanOTCh, Field::AmOTCh}) {
        if (dog.Flag(field)) {
            return true;
        }
    }
    // Any stored text makes a champion, even blanks: no trimming or cleaning here.
    return !dog.IsNull(Field::OtherCh) && !dog.Text(Field::OtherCh).isEmpty();
}

std::span<const Field> DisplayNameFields() {
    return kNameFields;
}

}  // namespace lineara
