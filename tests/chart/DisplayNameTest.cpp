#include "chart/DisplayName.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

namespace lineara {
namespace {

using Texts = std::vector<std::pair<Field, QString>>;

DogRecord Dog(std::initializer_list<Field> titles, const Texts& texts = {},
              const QString& name = QStringLiteral("Rex")) {
    DogRecord dog;
    dog.SetValue(Field::RegName, name);
    for (const Field title : titles) {
        dog.SetValue(title, true);
    }
    for (const auto& [field, text] : texts) {
        dog.SetValue(field, text);
    }
    return dog;
}

struct NameCase {
    const char* what;
    DogRecord dog;
    QString american;
    QString canadian;
};

using F = Field;

std::vector<NameCase> NameCases() {
    const auto s = [](const char* text) { return QString::fromUtf8(text); };
    return {
        // Examples of how breeders expect the titles to read.
        {"both championships", Dog({F::AmCh, F::CanCh}), s("Am/Can Ch Rex"), s("Am/Can Ch Rex")},
        {"Am Ch and Can CDX", Dog({F::AmCh, F::CanCDX}), s("Ch Rex Can CDX"), s("Am Ch Rex CDX")},
        {"Am Ch with other countries", Dog({F::AmCh}, {{F::OtherCh, s("Int")}}), s("Am/Int Ch Rex"),
         s("Am/Int Ch Rex")},
        {"both with other countries", Dog({F::AmCh, F::CanCh}, {{F::OtherCh, s("Int")}}),
         s("Am/Can/Int Ch Rex"), s("Am/Can/Int Ch Rex")},
        {"Can Ch with other countries", Dog({F::CanCh}, {{F::OtherCh, s("Int/Bda")}}),
         s("Can/Int/Bda Ch Rex"), s("Can/Int/Bda Ch Rex")},
        {"other countries only", Dog({}, {{F::OtherCh, s("Int")}}), s("Int Ch Rex"),
         s("Int Ch Rex")},
        {"other countries of blanks", Dog({}, {{F::OtherCh, s("  ")}}), s("   Ch Rex"),
         s("   Ch Rex")},
        {"other countries of control characters", Dog({F::AmCh}, {{F::OtherCh, s("\t")}}),
         s("Ch Rex"), s("Am Ch Rex")},
        {"Can CD hidden by Can CDX", Dog({F::CanCD, F::CanCDX}), s("Rex Can CDX"), s("Rex CDX")},
        {"Can CDX hidden by Can OTCh", Dog({F::CanCD, F::CanCDX, F::CanOTCh}), s("Can OTCh Rex"),
         s("OTCh Rex")},
        {"American obedience ladder", Dog({F::AmCD, F::AmCDX, F::AmUD}), s("Rex UD"),
         s("Rex Am UD")},
        {"UD hidden by UDX", Dog({F::AmUD, F::AmUDX}), s("Rex UDX"), s("Rex Am UDX")},
        {"show titles before the championship", Dog({F::BIS, F::HIT, F::AmCh, F::HCh}),
         s("BIS HIT Ch HCh Rex"), s("BIS HIT Am Ch HCh Rex")},
        {"CD in both countries", Dog({F::AmCD, F::CanCD}), s("Rex Am/Can CD"), s("Rex Am/Can CD")},
        {"herding chain", Dog({F::HT, F::PT, F::HS}), s("Rex HS"), s("Rex HS")},
        {"pre-titles of blanks", Dog({}, {{F::OtherPreTitles, s("   ")}}), s(" Rex"), s(" Rex")},
        {"post-titles of blanks", Dog({}, {{F::OtherPostTitles, s("  ")}}), s("Rex "), s("Rex ")},
        {"pre-titles of a tab only", Dog({}, {{F::OtherPreTitles, s("\t")}}), s("Rex"), s("Rex")},
        {"free-text titles trimmed",
         Dog({}, {{F::OtherPreTitles, s(" Ir. ")}, {F::OtherPostTitles, s(" RN  ")}}),
         s("Ir. Rex RN"), s("Ir. Rex RN")},
        {"control characters and euro sign dropped", Dog({}, {}, s("R\te\u20ACx\x7F")),
         s("Rex\x7F"), s("Rex\x7F")},
        {"only spaces trimmed from the name", Dog({}, {}, s(" \tRex ")), s("Rex"), s("Rex")},
        {"forced champion", Dog({F::ForceCh}), s("Rex"), s("Rex")},
        {"Null name keeps the titles", Dog({F::AmCh}, {}, QString()), s("Ch "), s("Am Ch ")},
        {"Null name alone", Dog({}, {}, QString()), QString(), QString()},
        // One row at a time.
        {"BISS", Dog({F::BISS}), s("BISS Rex"), s("BISS Rex")},
        {"BPISS", Dog({F::BPISS}), s("BPISS Rex"), s("BPISS Rex")},
        {"BPIS", Dog({F::BPIS}), s("BPIS Rex"), s("BPIS Rex")},
        {"Can Ch", Dog({F::CanCh}), s("Can Ch Rex"), s("Ch Rex")},
        {"both OTCh", Dog({F::AmOTCh, F::CanOTCh}), s("Am/Can OTCh Rex"), s("Am/Can OTCh Rex")},
        {"Am OTCh", Dog({F::AmOTCh}), s("OTCh Rex"), s("Am OTCh Rex")},
        {"U-ACh hides U-AgIII", Dog({F::UACh, F::UAgIII}), s("U-ACh Rex"), s("U-ACh Rex")},
        {"FDCh hides FDX", Dog({F::FDCh, F::FDX}), s("FDCh Rex"), s("FDCh Rex")},
        {"ADCh", Dog({F::ADCh}), s("ADCh Rex"), s("ADCh Rex")},
        {"HTCh", Dog({F::HTCh}), s("HTCh Rex"), s("HTCh Rex")},
        {"HCh hides HX", Dog({F::HCh, F::HX}), s("HCh Rex"), s("HCh Rex")},
        {"Am CD", Dog({F::AmCD}), s("Rex CD"), s("Rex Am CD")},
        {"Am CDX hides Am CD", Dog({F::AmCD, F::AmCDX}), s("Rex CDX"), s("Rex Am CDX")},
        {"CDX in both countries", Dog({F::AmCDX, F::CanCDX}), s("Rex Am/Can CDX"),
         s("Rex Am/Can CDX")},
        {"Am CGC", Dog({F::AmCGC}), s("Rex CGC"), s("Rex Am CGC")},
        {"Can CGC", Dog({F::CanCGC}), s("Rex Can CGC"), s("Rex CGC")},
        {"CGC in both countries", Dog({F::AmCGC, F::CanCGC}), s("Rex Am/Can CGC"),
         s("Rex Am/Can CGC")},
        {"HT hidden by PT", Dog({F::HT, F::PT}), s("Rex PT"), s("Rex PT")},
        {"HS hidden by HI", Dog({F::HS, F::HI}), s("Rex HI"), s("Rex HI")},
        {"HI hidden by HX", Dog({F::HI, F::HX}), s("Rex HX"), s("Rex HX")},
        {"FD hidden by FDX", Dog({F::FD, F::FDX}), s("Rex FDX"), s("Rex FDX")},
        {"NA hidden by OA", Dog({F::NA, F::OA}), s("Rex OA"), s("Rex OA")},
        {"OA hidden by AX", Dog({F::OA, F::AX}), s("Rex AX"), s("Rex AX")},
        {"ADC hidden by AADC", Dog({F::ADC, F::AADC}), s("Rex AADC"), s("Rex AADC")},
        {"AADC hidden by MADC", Dog({F::AADC, F::MADC}), s("Rex MADC"), s("Rex MADC")},
        {"U-AgI hidden by U-AgII", Dog({F::UAgI, F::UAgII}), s("Rex U-AgII"), s("Rex U-AgII")},
        {"U-AgII hidden by U-AgIII", Dog({F::UAgII, F::UAgIII}), s("Rex U-AgIII"),
         s("Rex U-AgIII")},
        {"NA, ADC alone", Dog({F::NA, F::ADC}), s("Rex NA ADC"), s("Rex NA ADC")},
        {"every row in order",
         Dog({F::BISS, F::BIS,  F::BPISS, F::BPIS, F::HIT,   F::AmCh,   F::AmOTCh, F::UACh, F::FDCh,
              F::ADCh, F::HTCh, F::HCh,   F::AmCD, F::AmUDX, F::CanCGC, F::TDI,    F::HC,   F::HT,
              F::HTD,  F::HRD,  F::HCT,   F::JHD,  F::FD,    F::AX,     F::MADC,   F::UAgI, F::AD,
              F::VAD,  F::MAD,  F::SM,    F::GM,   F::PM,    F::JM,     F::ROM,    F::ROMC},
             {{F::OtherPreTitles, s("Pre")}, {F::OtherPostTitles, s("Post")}}),
         s("BISS BIS BPISS BPIS HIT Ch OTCh U-ACh FDCh ADCh HTCh HCh Pre Rex CD UDX Can CGC TDI HC "
           "HT HTD HRD HCT JHD FD AX MADC U-AgI AD VAD MAD SM GM PM JM ROM ROMC Post"),
         s("BISS BIS BPISS BPIS HIT Am Ch Am OTCh U-ACh FDCh ADCh HTCh HCh Pre Rex Am CD Am UDX "
           "CGC TDI HC HT HTD HRD HCT JHD FD AX MADC U-AgI AD VAD MAD SM GM PM JM ROM ROMC Post")},
        {"PT and HS and HI and HX without HCh", Dog({F::PT, F::HX}), s("Rex PT HX"),
         s("Rex PT HX")},
    };
}

TEST(DisplayName, ComposesEveryRowInBothStyles) {
    for (const NameCase& c : NameCases()) {
        EXPECT_EQ(ComposeDisplayName(c.dog, TitleStyle::American), c.american)
            << c.what << " (American)";
        EXPECT_EQ(ComposeDisplayName(c.dog, TitleStyle::Canadian), c.canadian)
            << c.what << " (Canadian)";
    }
}

TEST(DisplayName, ChampionTest) {
    const struct {
        const char* what;
        DogRecord dog;
        bool champion;
    } cases[] = {
        {"Am Ch", Dog({F::AmCh}), true},         {"Can Ch", Dog({F::CanCh}), true},
        {"Am OTCh", Dog({F::AmOTCh}), true},     {"Can OTCh", Dog({F::CanOTCh}), true},
        {"forced", Dog({F::ForceCh}), true},
        {"other championship", Dog({}, {{F::OtherCh, QStringLiteral("Int")}}), true},
        {"other championship of blanks", Dog({}, {{F::OtherCh, QStringLiteral(" ")}}), true},
        {"performance championships only", Dog({F::HCh, F::HTCh, F::ADCh, F::FDCh, F::UACh}),
         false},
        {"show wins only", Dog({F::BIS, F::BISS, F::HIT}), false}, {"no titles", Dog({}), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsChampion(c.dog), c.champion) << c.what;
    }
}

TEST(DisplayName, CleanTextDropsControlCharactersAndEuroOnly) {
    EXPECT_EQ(CleanText(QVariant()), QString());
    EXPECT_EQ(CleanText(QVariant(QStringLiteral("a\x01" "b\x1f" " c"))), QStringLiteral("ab c"));
    const QString kept = QString::fromUtf8("\x7F\u0081\u00A0\u00E9\u00FF\u0152\u4E2D");
    EXPECT_EQ(CleanText(kept), kept);
    EXPECT_EQ(CleanText(QString::fromUtf8("10\u20AC\r\n")), QStringLiteral("10"));
}

// The chart reads only the display-name fields; a title missing from them would silently
// vanish from the chart.
TEST(DisplayName, NameFieldsAreEnoughToCompose) {
    const auto copied = [](const DogRecord& dog) {
        DogRecord copy;
        for (const Field field : DisplayNameFields()) {
            copy.SetValue(field, dog.Value(field));
        }
        return copy;
    };
    DogRecord full = Dog({}, {{F::OtherCh, QStringLiteral("Int")},
                              {F::OtherPreTitles, QStringLiteral("Pre")},
                              {F::OtherPostTitles, QStringLiteral("Post")}});
    for (int i = 0; i < kFieldCount; ++i) {
        if (KindOf(FieldAt(i)) == FieldKind::YesNo) {
            full.SetValue(FieldAt(i), true);
            const DogRecord single = Dog({FieldAt(i)}, {}, QString());
            EXPECT_EQ(IsChampion(copied(single)), IsChampion(single)) << NameOf(FieldAt(i));
            EXPECT_EQ(ComposeDisplayName(copied(single), TitleStyle::American),
                      ComposeDisplayName(single, TitleStyle::American))
                << NameOf(FieldAt(i));
        }
    }
    EXPECT_EQ(ComposeDisplayName(copied(full), TitleStyle::Canadian),
              ComposeDisplayName(full, TitleStyle::Canadian));
}

}  // namespace
}  // namespace lineara
