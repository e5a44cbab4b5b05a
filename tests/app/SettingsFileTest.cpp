#include "app/Cp1252.h"
#include "app/SettingsFile.h"
#include "chart/ViewState.h"
#include "support/ScriptedPrompts.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>

#include <cstring>

#include <unistd.h>

namespace lineara {
namespace {

using test::ScriptedPrompts;
using test::TempWorkDir;

qint16 Int16At(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<qint16>(bytes.constData() + offset);
}
qint32 Int32At(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}
float SingleAt(const QByteArray& bytes, int offset) {
    const quint32 bits = qFromLittleEndian<quint32>(bytes.constData() + offset);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
QByteArray Padded(const QByteArray& text, int length) { return text + QByteArray(length - text.size(), ' '); }

TEST(SettingsLayout, DefaultsSitAtTheirOffsetsByteForByte) {
    const QByteArray bytes = settings::Serialize(RestoreDefaultSettings());
    ASSERT_EQ(bytes.size(), 6798);

    EXPECT_EQ(bytes.mid(0, 1024), Padded("There is no chance that a file would have a name like this", 1024));
    struct Int {
        int offset;
        int size;
        qint32 value;
    };
    const Int ints[] = {
        {1024, 4, 1},    {1028, 2, 1},    {1030, 2, 4},    {1096, 2, 1},    {1098, 2, 1},
        {1100, 2, 0},    {1102, 2, 0},    {1104, 2, 1},    {1106, 4, 255},  {1174, 2, 0},
        {1176, 2, 1},    {1178, 2, 0},    {1180, 2, 0},    {1182, 2, 0},    {1184, 4, 0},
        {1188, 2, 1},    {1190, 2, 1},    {1192, 2, 1},    {1198, 4, 0},    {1202, 2, 0},
        {6754, 2, 90},   {6756, 2, 70},   {6758, 2, 50},   {6760, 2, 50},   {6762, 2, 1},
        {6764, 2, 98},   {6766, 2, 95},   {6768, 4, 0},    {6772, 2, 1},    {6774, 2, 95},
        {6776, 2, 98},   {6778, 4, 0},
    };
    for (const Int& i : ints) {
        const qint32 actual = i.size == 2 ? Int16At(bytes, i.offset) : Int32At(bytes, i.offset);
        EXPECT_EQ(actual, i.value) << "offset " << i.offset;
    }
    EXPECT_EQ(bytes.mid(1032, 64), Padded("Arial", 64));
    EXPECT_EQ(bytes.mid(1110, 64), Padded("Arial", 64));
    EXPECT_EQ(SingleAt(bytes, 1194), 0.25f);
    EXPECT_EQ(SingleAt(bytes, 6782), 1.0f);
    EXPECT_EQ(SingleAt(bytes, 6786), 1.0f);
    EXPECT_EQ(SingleAt(bytes, 6790), 0.0f);
    EXPECT_EQ(SingleAt(bytes, 6794), 0.0f);

    // The five print items: Show, Text, HorizPos, VertPos, FontBold, FontItalic, FontName,
    // FontSize, FontStrikethru, FontUnderline, ForeColor.
    struct Item {
        int offset;
        qint16 show;
        const char* text;
        qint16 horiz, vert, bold;
        float size;
        qint32 colour;
    };
    const Item items[] = {
        {1204, 1, "Certificate of Lineara", 50, 5, 1, 36, 0},
        {2314, 1, "Kennel Name goes here", 50, 10, 1, 36, 0},
        {3424, 1, "Kennel Address goes here", 5, 90, 0, 12, 0},
        {4534, 0, "", 50, 92, 0, 12, 0},
        {5644, 1, nullptr, 50, 50, 1, 30, 255 | (127 << 8) | (127 << 16)},
    };
    for (const Item& item : items) {
        const int at = item.offset;
        EXPECT_EQ(Int16At(bytes, at), item.show) << at;
        if (item.text) {
            EXPECT_EQ(bytes.mid(at + 2, 1024), Padded(item.text, 1024)) << at;
        } else {
            EXPECT_FALSE(bytes.mid(at + 2, 1024).trimmed().isEmpty()) << "a sample footnote";
        }
        EXPECT_EQ(Int16At(bytes, at + 1026), item.horiz) << at;
        EXPECT_EQ(Int16At(bytes, at + 1028), item.vert) << at;
        EXPECT_EQ(Int16At(bytes, at + 1030), item.bold) << at;
        EXPECT_EQ(Int16At(bytes, at + 1032), 0) << at;
        EXPECT_EQ(bytes.mid(at + 1034, 64), Padded("Arial", 64)) << at;
        EXPECT_EQ(SingleAt(bytes, at + 1098), item.size) << at;
        EXPECT_EQ(Int16At(bytes, at + 1102), 0) << at;
        EXPECT_EQ(Int16At(bytes, at + 1104), 0) << at;
        EXPECT_EQ(Int32At(bytes, at + 1106), item.colour) << at;
    }
}

SettingsRecord Unusual() {
    SettingsRecord r = RestoreDefaultSettings();
    r.DatabaseFile = QStringLiteral("  /home/breeder/Kennels/Müller Collies.mdb  ");
    r.RootDogID = 123456;
    r.Country = -1;
    r.NumGens = 6;
    r.ChampFontName = QStringLiteral("Liberation Serif");
    r.ChampItalic = -1;
    r.ChampColour = 0x123456;
    r.NotChUseColour = -1;
    r.LineDiagonal = 0;
    r.LineThickness = 3;
    r.LineOffset = 0.73f;
    r.AdditionalInfo = 8;
    r.PrintItem[kPrintTitle].Text = QStringLiteral("Pedigree of\r\nthe Year €");
    r.PrintItem[kPrintNotes].Show = 1;
    r.PrintItem[kPrintFootnote].FontSize = 17.5f;
    r.Border[1].Colour = 0xABCDEF;
    r.XScale = 1.25f;
    r.YOffset = -0.5f;
    return r;
}

TEST(SettingsLayout, WriteThenReadRestoresEveryFieldAndTheSameBytes) {
    const QByteArray first = settings::Serialize(Unusual());
    const auto read = settings::Parse(first);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->DatabaseFile.size(), 1024);  // the blank padding is part of the value
    EXPECT_EQ(read->DatabaseFile.trimmed(), "/home/breeder/Kennels/Müller Collies.mdb");
    EXPECT_EQ(read->PrintItem[kPrintTitle].Text.trimmed(), "Pedigree of\r\nthe Year €");
    EXPECT_EQ(read->RootDogID, 123456);
    EXPECT_EQ(read->LineOffset, 0.73f);
    EXPECT_EQ(read->Border[1].Colour, 0xABCDEF);
    EXPECT_EQ(settings::Serialize(*read), first);
    // A stored -1 reads as Canadian style.
    EXPECT_FALSE(ViewStateFromSettings(*read).american);

    // Texts are kept in the Windows Western code page; what it lacks becomes "?".
    EXPECT_EQ(cp1252::Encode(QStringLiteral("Müller € Œ")), QByteArray("M\xFCller \x80 \x8C"));
    EXPECT_EQ(cp1252::Encode(QStringLiteral("柴犬 Ki")), QByteArray("?? Ki"));
    EXPECT_EQ(cp1252::Encode(QStringLiteral("\U0001F415!")), QByteArray("?!"));
    EXPECT_EQ(cp1252::Decode(QByteArray("\x80\x81\x9F\xFF")), QStringLiteral("€\u0081Ÿÿ"));
}

TEST(SettingsLayout, FieldsOutsideTheirRangesTakeTheirDefaults) {
    const SettingsRecord defaults = RestoreDefaultSettings();
    const QByteArray default_bytes = settings::Serialize(defaults);
    const struct {
        int offset;
        int size;  // 2 = Integer, 4 = Long, -4 = Single
        double bad;
    } cases[] = {
        {1030, 2, 1},              {1030, 2, 7},              // NumGens
        {1106, 4, 0x1000000},      {1184, 4, -5},             // ChampColour, NotChColour
        {1190, 2, 4},              {1202, 2, 9},              // LineThickness, AdditionalInfo
        {1194, -4, 3.5},           {1194, -4, std::nan("")},  // LineOffset
        {1198, 4, 0x7FFFFFFF},                                // LineColour
        {1204 + 1026, 2, 101},     {3424 + 1028, 2, -1},      // print item positions
        {5644 + 1106, 4, 0x2000000},                          // print item colour
        {6754, 2, 250},            {6760, 2, -3},             // ChartWidth, ChartVertPos
        {6764, 2, 120},            {6778, 4, 0x1000000},      // border width and colour
        {6782, -4, 0.4},           {6786, -4, 2.5},           // XScale, YScale
        {6790, -4, -2.5},          {6794, -4, 2.01},          // XOffset, YOffset
    };
    for (const auto& c : cases) {
        QByteArray bytes = default_bytes;
        char* at = bytes.data() + c.offset;
        if (c.size == 2) {
            qToLittleEndian<qint16>(static_cast<qint16>(c.bad), at);
        } else if (c.size == 4) {
            qToLittleEndian<qint32>(static_cast<qint32>(c.bad), at);
        } else {
            const float value = static_cast<float>(c.bad);
            quint32 bits = 0;
            std::memcpy(&bits, &value, sizeof bits);
            qToLittleEndian<quint32>(bits, at);
        }
        const auto read = settings::Parse(bytes);
        ASSERT_TRUE(read.has_value()) << c.offset;
        EXPECT_EQ(settings::Serialize(*read), default_bytes) << "offset " << c.offset;
    }

    // Values at the edges of their ranges stay as they are.
    SettingsRecord edges = defaults;
    edges.NumGens = 2;
    edges.XScale = 0.5f;
    edges.YOffset = -2.0f;
    edges.ChartWidth = 100;
    edges.LineColour = 0xFFFFFF;
    EXPECT_EQ(settings::Serialize(*settings::Parse(settings::Serialize(edges))), settings::Serialize(edges));
}

class SettingsFileTest : public ::testing::Test {
protected:
    QString IniPath() const { return work_.File(QStringLiteral("LNR40.INI")); }

    // Reads the settings and says whether the failure message was shown.
    bool ReadFails(SettingsRecord& record) {
        ScriptedPrompts prompts;
        const bool ok = ReadSettings(record, work_.Path(), prompts);
        EXPECT_EQ(prompts.AllShown().size(), ok ? 0u : 1u);
        if (!ok) {
            const auto* shown = prompts.LastMessage();
            EXPECT_EQ(shown->title, "Error Reading Settings");
            EXPECT_EQ(shown->text,
                      "An error has occured while tyring to read the settings file (LNR40.INI).  All "
                      "settings have been restored to their original default values.");
            EXPECT_EQ(shown->buttons, Prompts::Buttons::Ok);
            EXPECT_EQ(shown->icon, Prompts::Icon::Exclamation);
        }
        return !ok;
    }

    TempWorkDir work_;
};

TEST_F(SettingsFileTest, MissingShortLongAndUnreadableFilesGiveTheMessageAndDefaults) {
    SettingsRecord record = Unusual();
    EXPECT_TRUE(ReadFails(record));
    EXPECT_EQ(record, RestoreDefaultSettings());

    const QByteArray good = settings::Serialize(Unusual());
    for (const QByteArray& bad : {good.left(6797), good + "x", QByteArray(), QByteArray(100000, 'z')}) {
        work_.Write(IniPath(), bad);
        record = Unusual();
        EXPECT_TRUE(ReadFails(record)) << bad.size();
        EXPECT_EQ(record, RestoreDefaultSettings());
        // The damaged file itself stays as it was until the settings are written.
        EXPECT_EQ(work_.Read(IniPath()), bad);
    }

    QFile::remove(IniPath());
    ASSERT_TRUE(QDir(work_.Path()).mkdir(QStringLiteral("LNR40.INI")));
    EXPECT_TRUE(ReadFails(record));
}

TEST_F(SettingsFileTest, GarbageOfTheRightLengthNeverCrashesAndYieldsUsableValues) {
    QRandomGenerator random(1234);
    for (int round = 0; round < 50; ++round) {
        QByteArray noise(6798, '\0');
        for (char& byte : noise) {
            byte = static_cast<char>(random.bounded(256));
        }
        const auto read = settings::Parse(noise);
        ASSERT_TRUE(read.has_value());
        EXPECT_GE(read->NumGens, 2);
        EXPECT_LE(read->NumGens, 6);
        EXPECT_GE(read->LineOffset, 0.0f);
        EXPECT_LE(read->LineOffset, 1.0f);
        EXPECT_LE(read->ChampColour, 0xFFFFFF);
        EXPECT_GE(read->XScale, 0.5f);
        EXPECT_EQ(settings::Serialize(*read).size(), 6798);
    }
}

TEST_F(SettingsFileTest, WrittenFileReadsBackAndFailuresLeaveTheOldFile) {
    ASSERT_TRUE(WriteSettings(Unusual(), work_.Path()).isEmpty());
    SettingsRecord record;
    EXPECT_FALSE(ReadFails(record));
    EXPECT_EQ(settings::Serialize(record), settings::Serialize(Unusual()));

    // A folder that cannot be written: the failure is reported and the old file survives.
    const QByteArray before = work_.Read(IniPath());
    QFile::setPermissions(work_.Path(), QFile::ReadOwner | QFile::ExeOwner);
    const QString error = WriteSettings(RestoreDefaultSettings(), work_.Path());
    QFile::setPermissions(work_.Path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (geteuid() != 0) {
        EXPECT_FALSE(error.isEmpty());
    }
    if (!error.isEmpty()) {
        EXPECT_EQ(work_.Read(IniPath()), before);
    }
    // Writing into a missing folder always fails.
    EXPECT_FALSE(WriteSettings(RestoreDefaultSettings(), work_.File(QStringLiteral("no/such/folder"))).isEmpty());
}

TEST_F(SettingsFileTest, AFileNamedInOtherLetterCaseIsUsed) {
    work_.Write(QStringLiteral("lnr40.ini"), settings::Serialize(Unusual()));
    SettingsRecord record;
    EXPECT_FALSE(ReadFails(record));
    EXPECT_EQ(record.RootDogID, 123456);
    ASSERT_TRUE(WriteSettings(RestoreDefaultSettings(), work_.Path()).isEmpty());
    EXPECT_EQ(QDir(work_.Path()).entryList(QDir::Files), QStringList{"lnr40.ini"});
}

}  // namespace
}  // namespace lineara
