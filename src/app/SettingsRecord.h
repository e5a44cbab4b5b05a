#pragma once

#include <QString>

#include <array>

namespace lineara {

// One positioned text of the printed certificate.
struct PrintTextItem {
    qint16 Show = 0;  // check-box value: 1 or 0
    QString Text;     // fixed text of 1024 characters; lines separated by CR LF
    qint16 HorizPos = 0;
    qint16 VertPos = 0;
    qint16 FontBold = 0;
    qint16 FontItalic = 0;
    QString FontName;  // fixed text of 64 characters
    float FontSize = 12.0f;
    qint16 FontStrikethru = 0;
    qint16 FontUnderline = 0;
    qint32 ForeColor = 0;  // 0x00BBGGRR

    bool operator==(const PrintTextItem&) const = default;
};

struct BorderSettings {
    qint16 Thickness = 0;  // 0 = no border
    qint16 Width = 0;      // percent of the page
    qint16 Height = 0;
    qint32 Colour = 0;

    bool operator==(const BorderSettings&) const = default;
};

// Everything the program remembers between runs. Fixed texts hold what was read from the
// file, blank padding included; every reader trims them. Yes/No values read as no for 0
// and yes for anything else.
struct SettingsRecord {
    QString DatabaseFile;  // fixed text of 1024 characters
    qint32 RootDogID = 1;
    qint16 Country = 1;  // 0 American, non-zero Canadian
    qint16 NumGens = 4;
    QString ChampFontName;  // fixed text of 64 characters
    qint16 ChampUppercase = 1;
    qint16 ChampBold = 1;
    qint16 ChampItalic = 0;
    qint16 ChampUnderline = 0;
    qint16 ChampUseColour = 1;
    qint32 ChampColour = 255;
    QString NotChFontName;
    qint16 NotChUppercase = 0;
    qint16 NotChBold = 1;
    qint16 NotChItalic = 0;
    qint16 NotChUnderline = 0;
    qint16 NotChUseColour = 0;
    qint32 NotChColour = 0;
    qint16 ShowLines = 1;
    qint16 LineThickness = 1;  // 1 narrow, 2 medium, 3 thick
    qint16 LineDiagonal = 1;
    float LineOffset = 0.25f;
    qint32 LineColour = 0;
    qint16 AdditionalInfo = 0;  // 0 none .. 8 inbreeding coefficient
    std::array<PrintTextItem, 5> PrintItem;
    qint16 ChartWidth = 90;
    qint16 ChartHeight = 70;
    qint16 ChartHorizPos = 50;
    qint16 ChartVertPos = 50;
    std::array<BorderSettings, 2> Border;
    float XScale = 1.0f;
    float YScale = 1.0f;
    float XOffset = 0.0f;
    float YOffset = 0.0f;

    bool operator==(const SettingsRecord&) const = default;
};

// Indexes of PrintItem.
enum PrintItemIndex { kPrintTitle = 0, kPrintKennelName, kPrintKennelAddress, kPrintNotes, kPrintFootnote };

}  // namespace lineara
