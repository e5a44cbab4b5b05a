#include "app/SettingsFile.h"

#include "app/AtomicFile.h"

#include "app/Cp1252.h"
#include "app/FileExists.h"
#include "app/Prompts.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace lineara {

namespace {

PrintTextItem MakeItem(qint16 show, const char* text, qint16 horiz, qint16 vert, qint16 bold,
                       float size, qint32 colour) {
    PrintTextItem item;
    item.Show = show;
    item.Text = QString::fromLatin1(text);
    item.HorizPos = horiz;
    item.VertPos = vert;
    item.FontBold = bold;
    item.FontItalic = 0;
    item.FontName = QStringLiteral("Arial");
    item.FontSize = size;
    item.FontStrikethru = 0;
    item.FontUnderline = 0;
    item.ForeColor = colour;
    return item;
}

constexpr qint32 Rgb(int red, int green, int blue) { return red | (green << 8) | (blue << 16); }

class Writer {
public:
    void Int16(qint16 value) { Append(qToLittleEndian(value)); }
    void Int32(qint32 value) { Append(qToLittleEndian(value)); }
    void Single(float value) {
        quint32 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Append(qToLittleEndian(bits));
    }
    void Fixed(const QString& text, int length) {
        QByteArray bytes = cp1252::Encode(text).left(length);
        bytes.append(QByteArray(length - bytes.size(), ' '));
        bytes_.append(bytes);
    }
    QByteArray Bytes() const { return bytes_; }

private:
    template <typename T>
    void Append(T value) {
        bytes_.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    QByteArray bytes_;
};

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : bytes_(bytes) {}
    qint16 Int16() { return qFromLittleEndian<qint16>(Take(2)); }
    qint32 Int32() { return qFromLittleEndian<qint32>(Take(4)); }
    float Single() {
        const quint32 bits = qFromLittleEndian<quint32>(Take(4));
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    QString Fixed(int length) {
        const char* start = Take(length);
        return cp1252::Decode(QByteArray(start, length));
    }

private:
    const char* Take(qsizetype size) {
        const char* at = bytes_.constData() + offset_;
        offset_ += size;
        return at;
    }
    const QByteArray& bytes_;
    qsizetype offset_ = 0;
};

void WriteItem(Writer& out, const PrintTextItem& item) {
    out.Int16(item.Show);
    out.Fixed(item.Text, settings::kPrintTextLength);
    out.Int16(item.HorizPos);
    out.Int16(item.VertPos);
    out.Int16(item.FontBold);
    out.Int16(item.FontItalic);
    out.Fixed(item.FontName, settings::kFontNameLength);
    out.Single(item.FontSize);
    out.Int16(item.FontStrikethru);
    out.Int16(item.FontUnderline);
    out.Int32(item.ForeColor);
}

PrintTextItem ReadItem(Reader& in) {
    PrintTextItem item;
    item.Show = in.Int16();
    item.Text = in.Fixed(settings::kPrintTextLength);
    item.HorizPos = in.Int16();
    item.VertPos = in.Int16();
    item.FontBold = in.Int16();
    item.FontItalic = in.Int16();
    item.FontName = in.Fixed(settings::kFontNameLength);
    item.FontSize = in.Single();
    item.FontStrikethru = in.Int16();
    item.FontUnderline = in.Int16();
    item.ForeColor = in.Int32();
    return item;
}

// Range repairs for a damaged file: a value the program cannot use takes its default.
template <typename T, typename U>
void KeepIfInRange(T& value, U low, U high, T fallback) {
    if (!(value >= low && value <= high)) {  // also catches NaN
        value = fallback;
    }
}

void KeepColour(qint32& value, qint32 fallback) { KeepIfInRange(value, 0, 0xFFFFFF, fallback); }

void Repair(SettingsRecord& r) {
    const SettingsRecord d = RestoreDefaultSettings();
    KeepIfInRange(r.NumGens, 2, 6, d.NumGens);
    KeepColour(r.ChampColour, d.ChampColour);
    KeepColour(r.NotChColour, d.NotChColour);
    KeepColour(r.LineColour, d.LineColour);
    KeepIfInRange(r.LineThickness, 1, 3, d.LineThickness);
    KeepIfInRange(r.LineOffset, 0.0f, 1.0f, d.LineOffset);
    KeepIfInRange(r.AdditionalInfo, 0, 8, d.AdditionalInfo);
    for (std::size_t i = 0; i < r.PrintItem.size(); ++i) {
        PrintTextItem& item = r.PrintItem[i];
        const PrintTextItem& fallback = d.PrintItem[i];
        KeepIfInRange(item.HorizPos, 0, 100, fallback.HorizPos);
        KeepIfInRange(item.VertPos, 0, 100, fallback.VertPos);
        KeepIfInRange(item.FontSize, 1.0f, 1000.0f, fallback.FontSize);
        KeepColour(item.ForeColor, fallback.ForeColor);
    }
    KeepIfInRange(r.ChartWidth, 0, 100, d.ChartWidth);
    KeepIfInRange(r.ChartHeight, 0, 100, d.ChartHeight);
    KeepIfInRange(r.ChartHorizPos, 0, 100, d.ChartHorizPos);
    KeepIfInRange(r.ChartVertPos, 0, 100, d.ChartVertPos);
    for (std::size_t i = 0; i < r.Border.size(); ++i) {
        BorderSettings& border = r.Border[i];
        const BorderSettings& fallback = d.Border[i];
        KeepIfInRange(border.Thickness, 0, 100, fallback.Thickness);
        KeepIfInRange(border.Width, 0, 100, fallback.Width);
        KeepIfInRange(border.Height, 0, 100, fallback.Height);
        KeepColour(border.Colour, fallback.Colour);
    }
    KeepIfInRange(r.XScale, 0.5f, 2.0f, d.XScale);
    KeepIfInRange(r.YScale, 0.5f, 2.0f, d.YScale);
    KeepIfInRange(r.XOffset, -2.0f, 2.0f, d.XOffset);
    KeepIfInRange(r.YOffset, -2.0f, 2.0f, d.YOffset);
}

}  // namespace

SettingsRecord RestoreDefaultSettings() {
    SettingsRecord r;
    r.DatabaseFile = QStringLiteral("There is no chance that a file would have a name like this");
    r.RootDogID = 1;
    r.Country = 1;
    r.NumGens = 4;
    r.ChampFontName = QStringLiteral("Arial");
    r.ChampUppercase = 1;
    r.ChampBold = 1;
    r.ChampItalic = 0;
    r.ChampUnderline = 0;
    r.ChampUseColour = 1;
    r.ChampColour = 255;
    r.NotChFontName = QStringLiteral("Arial");
    r.NotChUppercase = 0;
    r.NotChBold = 1;
    r.NotChItalic = 0;
    r.NotChUnderline = 0;
    r.NotChUseColour = 0;
    r.NotChColour = 0;
    r.ShowLines = 1;
    r.LineThickness = 1;
    r.LineDiagonal = 1;
    r.LineOffset = 0.25f;
    r.LineColour = 0;
    r.AdditionalInfo = 0;
    r.PrintItem[kPrintTitle] = MakeItem(1, "Certificate of Lineara", 50, 5, 1, 36, 0);
    r.PrintItem[kPrintKennelName] = MakeItem(1, "Kennel Name goes here", 50, 10, 1, 36, 0);
    r.PrintItem[kPrintKennelAddress] = MakeItem(1, "Kennel Address goes here", 5, 90, 0, 12, 0);
    r.PrintItem[kPrintNotes] = MakeItem(0, "", 50, 92, 0, 12, 0);
    r.PrintItem[kPrintFootnote] =
        MakeItem(1, "Your footnote goes here", 50, 50, 1, 30, Rgb(255, 127, 127));
    r.ChartWidth = 90;
    r.ChartHeight = 70;
    r.ChartHorizPos = 50;
    r.ChartVertPos = 50;
    r.Border[0] = {1, 98, 95, 0};
    r.Border[1] = {1, 95, 98, 0};
    r.XScale = 1.0f;
    r.YScale = 1.0f;
    r.XOffset = 0.0f;
    r.YOffset = 0.0f;
    return r;
}

namespace settings {

QByteArray Serialize(const SettingsRecord& r) {
    Writer out;
    out.Fixed(r.DatabaseFile, kDatabaseFileLength);
    out.Int32(r.RootDogID);
    out.Int16(r.Country);
    out.Int16(r.NumGens);
    out.Fixed(r.ChampFontName, kFontNameLength);
    out.Int16(r.ChampUppercase);
    out.Int16(r.ChampBold);
    out.Int16(r.ChampItalic);
    out.Int16(r.ChampUnderline);
    out.Int16(r.ChampUseColour);
    out.Int32(r.ChampColour);
    out.Fixed(r.NotChFontName, kFontNameLength);
    out.Int16(r.NotChUppercase);
    out.Int16(r.NotChBold);
    out.Int16(r.NotChItalic);
    out.Int16(r.NotChUnderline);
    out.Int16(r.NotChUseColour);
    out.Int32(r.NotChColour);
    out.Int16(r.ShowLines);
    out.Int16(r.LineThickness);
    out.Int16(r.LineDiagonal);
    out.Single(r.LineOffset);
    out.Int32(r.LineColour);
    out.Int16(r.AdditionalInfo);
    for (const PrintTextItem& item : r.PrintItem) {
        WriteItem(out, item);
    }
    out.Int16(r.ChartWidth);
    out.Int16(r.ChartHeight);
    out.Int16(r.ChartHorizPos);
    out.Int16(r.ChartVertPos);
    for (const BorderSettings& border : r.Border) {
        out.Int16(border.Thickness);
        out.Int16(border.Width);
        out.Int16(border.Height);
        out.Int32(border.Colour);
    }
    out.Single(r.XScale);
    out.Single(r.YScale);
    out.Single(r.XOffset);
    out.Single(r.YOffset);
    return out.Bytes();
}

std::optional<SettingsRecord> Parse(const QByteArray& bytes) {
    if (bytes.size() != kFileSize) {
        return std::nullopt;
    }
    Reader in(bytes);
    SettingsRecord r;
    r.DatabaseFile = in.Fixed(kDatabaseFileLength);
    r.RootDogID = in.Int32();
    r.Country = in.Int16();
    r.NumGens = in.Int16();
    r.ChampFontName = in.Fixed(kFontNameLength);
    r.ChampUppercase = in.Int16();
    r.ChampBold = in.Int16();
    r.ChampItalic = in.Int16();
    r.ChampUnderline = in.Int16();
    r.ChampUseColour = in.Int16();
    r.ChampColour = in.Int32();
    r.NotChFontName = in.Fixed(kFontNameLength);
    r.NotChUppercase = in.Int16();
    r.NotChBold = in.Int16();
    r.NotChItalic = in.Int16();
    r.NotChUnderline = in.Int16();
    r.NotChUseColour = in.Int16();
    r.NotChColour = in.Int32();
    r.ShowLines = in.Int16();
    r.LineThickness = in.Int16();
    r.LineDiagonal = in.Int16();
    r.LineOffset = in.Single();
    r.LineColour = in.Int32();
    r.AdditionalInfo = in.Int16();
    for (PrintTextItem& item : r.PrintItem) {
        item = ReadItem(in);
    }
    r.ChartWidth = in.Int16();
    r.ChartHeight = in.Int16();
    r.ChartHorizPos = in.Int16();
    r.ChartVertPos = in.Int16();
    for (BorderSettings& border : r.Border) {
        border.Thickness = in.Int16();
        border.Width = in.Int16();
        border.Height = in.Int16();
        border.Colour = in.Int32();
    }
    r.XScale = in.Single();
    r.YScale = in.Single();
    r.XOffset = in.Single();
    r.YOffset = in.Single();
    Repair(r);
    return r;
}

}  // namespace settings

bool ReadSettings(SettingsRecord& record, const QString& directory, Prompts& prompts) {
    std::optional<SettingsRecord> loaded;
    if (const auto path = FindExistingFile(directory, QString::fromLatin1(settings::kFileName))) {
        QFile file(*path);
        if (file.open(QIODevice::ReadOnly)) {
            // Read one byte past the record so that an overlong file is noticed.
            loaded = settings::Parse(file.read(settings::kFileSize + 1));
        }
    }
    if (loaded) {
        record = *loaded;
        return true;
    }
    prompts.Message(QStringLiteral("Error Reading Settings"),
                    QStringLiteral("An error has occured while tyring to read the settings file (") +
                        QString::fromLatin1(settings::kFileName) +
                        QStringLiteral(").  All settings have been restored to their original "
                                       "default values."),
                    Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    record = RestoreDefaultSettings();
    return false;
}

QString WriteSettings(const SettingsRecord& record, const QString& directory) {
    // Keep using the existing file's name if it differs from ours only in letter case.
    const QString path = FindExistingFile(directory, QString::fromLatin1(settings::kFileName))
                             .value_or(QDir(directory).filePath(QString::fromLatin1(settings::kFileName)));
    return WriteFileAtomically(path, settings::Serialize(record));
}

}  // namespace lineara
