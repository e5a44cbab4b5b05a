#include "analysis/RtfReader.h"

#include <QElapsedTimer>
#include <QFont>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <gtest/gtest.h>

namespace lineara {
namespace {

// A short report in the form the inbreeding analysis writes it.
QByteArray SampleReport() {
    const char* lines[] = {
        "{\\rtf\\ansi\\deff0{\\fonttbl {\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}}",
        "\\qc\\b\\ul\\fs36Inbreeding and Relationship Report\\ulnone\\par\\b0",
        "\\fs16(Generated using LINEARA v4.0.6)\\par",
        "\\fs16\\par",
        "\\fs16for\\par",
        "\\b\\fs36Ch. M\\u252?ller's \\{Best\\} \\\\ Only\\b0\\par",
        "\\fs20by Sire out of Dam\\par",
        "\\b\\fs28Inbreeding Coefficient = 25.00%\\par\\b0",
        "\\fs16\\par\\b",
        "\\fs16Name of Ancestor                          Percent    Earliest     # in    Contrib "
        "to \\par",
        "\\ul",
        "\\fs16                                           of Blood  Generation  Lineara  Inbr "
        "Coeff\\par",
        "\\b0\\ulnone",
        "\\fs16Grandsire                                 50.00%       1:2      1:1     "
        "25.00%\\~\\~\\par",
        "}",
    };
    QByteArray rtf;
    for (const char* line : lines) {
        rtf += line;
        rtf += "\r\n";
    }
    return rtf;
}

struct TextRun {
    QString text;
    QTextCharFormat format;
};

std::vector<QString> Paragraphs(const QTextDocument& document) {
    std::vector<QString> out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        out.push_back(block.text());
    }
    return out;
}

// The text as stored, paragraphs joined by line feeds (toPlainText would turn non-breaking
// spaces into blanks).
QString JoinedText(const QTextDocument& document) {
    QStringList lines;
    for (const QString& line : Paragraphs(document))
        lines << line;
    return lines.join(u'\n');
}

std::vector<TextRun> RunsOf(const QTextBlock& block) {
    std::vector<TextRun> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        runs.push_back({it.fragment().text(), it.fragment().charFormat()});
    }
    return runs;
}

TEST(RtfReaderTest, ReadsTheReportWithItsFormatting) {
    QTextDocument document;
    const RtfReader::Result result = RtfReader::Read(SampleReport(), document);
    EXPECT_TRUE(result.looks_like_rtf);
    EXPECT_TRUE(result.complete);

    const std::vector<QString> paragraphs = Paragraphs(document);
    ASSERT_EQ(paragraphs.size(), 12u);
    EXPECT_EQ(paragraphs[0], QStringLiteral("Inbreeding and Relationship Report"));
    EXPECT_EQ(paragraphs[1], QStringLiteral("(Generated using LINEARA v4.0.6)"));
    EXPECT_EQ(paragraphs[2], QString());
    // Escaped braces and backslashes, and the Unicode escape with its fallback skipped.
    EXPECT_EQ(paragraphs[4], QStringLiteral("Ch. Müller's {Best} \\ Only"));
    // A centred line is centred on its text: the blank that ends the header goes, so that the
    // header is as wide as the rows below it, which end in non-breaking spaces.
    EXPECT_EQ(paragraphs[8], QStringLiteral("Name of Ancestor                          Percent    "
                                            "Earliest     # in    Contrib to"));
    // Non-breaking spaces stay what they are, so that a centred line keeps its width.
    EXPECT_EQ(
        paragraphs[10],
        QStringLiteral(
            "Grandsire                                 50.00%       1:2      1:1     25.00%") +
            QChar(0x00A0) + QChar(0x00A0));
    EXPECT_EQ(paragraphs[11], QString());  // after the last \par, before the closing brace

    // \qc is a paragraph setting that holds until it is reset: the whole report is centred.
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        EXPECT_EQ(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter)
            << block.text().toStdString();
    }

    const std::vector<TextRun> title = RunsOf(document.findBlockByNumber(0));
    ASSERT_EQ(title.size(), 1u);
    EXPECT_EQ(title[0].format.fontWeight(), QFont::Bold);
    EXPECT_TRUE(title[0].format.fontUnderline());
    EXPECT_DOUBLE_EQ(title[0].format.fontPointSize(), 18.0);
    EXPECT_EQ(title[0].format.fontFamilies().toStringList(),
              QStringList{QStringLiteral("Liberation Mono")});
    EXPECT_TRUE(title[0].format.fontFixedPitch());

    const std::vector<TextRun> version = RunsOf(document.findBlockByNumber(1));
    ASSERT_EQ(version.size(), 1u);
    EXPECT_EQ(version[0].format.fontWeight(), QFont::Normal);
    EXPECT_FALSE(version[0].format.fontUnderline());
    EXPECT_DOUBLE_EQ(version[0].format.fontPointSize(), 8.0);

    const std::vector<TextRun> header = RunsOf(document.findBlockByNumber(8));
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header[0].format.fontWeight(), QFont::Bold);
    EXPECT_FALSE(header[0].format.fontUnderline());
    const std::vector<TextRun> header2 = RunsOf(document.findBlockByNumber(9));
    ASSERT_EQ(header2.size(), 1u);
    EXPECT_TRUE(header2[0].format.fontUnderline());
    EXPECT_EQ(header2[0].format.fontWeight(), QFont::Bold);
    const std::vector<TextRun> row = RunsOf(document.findBlockByNumber(10));
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0].format.fontWeight(), QFont::Normal);
    EXPECT_FALSE(row[0].format.fontUnderline());

    // An empty line takes its height from the font in force where it ends.
    EXPECT_DOUBLE_EQ(document.findBlockByNumber(2).charFormat().fontPointSize(), 8.0);
}

TEST(RtfReaderTest, GroupsRestoreFormattingAndEscapesDecode) {
    struct Case {
        const char* rtf;
        QString text;
    };
    const Case cases[] = {
        {"{\\rtf1 a{\\b b}c}", QStringLiteral("abc")},
        {"{\\rtf1 caf\\'e9 \\'80}", QStringLiteral("café €")},
        {"{\\rtf1 \\uc0\\u8364 euro}", QStringLiteral("€euro")},
        {"{\\rtf1 \\uc2\\u8364 ab!}", QStringLiteral("€!")},
        {"{\\rtf1 \\u-4064?x}", QString(QChar(0xF020)) + QStringLiteral("x")},
        {"{\\rtf1 \\u55357?\\u56832?}", QString::fromUtf8("\xF0\x9F\x98\x80")},
        {"{\\rtf1 lone \\u56832?}", QStringLiteral("lone ") + QChar(QChar::ReplacementCharacter)},
        {"{\\rtf1 \\u9999999999?x}",
         QString(QChar(QChar::ReplacementCharacter)) + QStringLiteral("x")},
        {"{\\rtf1 a\\tab b\\line c}",
         QStringLiteral("a\tb") + QChar(QChar::LineSeparator) + QStringLiteral("c")},
        {"{\\rtf1 {\\*\\generator Writer;}{\\colortbl;\\red0\\green0\\blue0;}{\\info{\\title "
         "T}}shown}",
         QStringLiteral("shown")},
        {"{\\rtf1 {\\pict\\bin4 }}}}}after}", QStringLiteral("after")},
        {"{\\rtf1 \\unknownword123 text\\-here}", QStringLiteral("texthere")},
        {"{\\rtf1 \\emdash\\ldblquote q\\rdblquote}", QStringLiteral("—“q”")},
        {"{\\rtf1 done}ignored after the end", QStringLiteral("done")},
        {"{\\rtf1 left  \\par\\qr right  \\par\\qc kept \\~ }",
         QStringLiteral("left  \nright\nkept ") + QChar(0x00A0)},
    };
    for (const Case& c : cases) {
        QTextDocument document;
        RtfReader::Read(QByteArray(c.rtf), document);
        EXPECT_EQ(JoinedText(document), c.text) << c.rtf;
    }

    QTextDocument document;
    RtfReader::Read("{\\rtf1 a{\\b\\i\\ul\\fs48 b}c\\plain d}", document);
    const std::vector<TextRun> runs = RunsOf(document.begin());
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].text, QStringLiteral("b"));
    EXPECT_EQ(runs[1].format.fontWeight(), QFont::Bold);
    EXPECT_TRUE(runs[1].format.fontItalic());
    EXPECT_DOUBLE_EQ(runs[1].format.fontPointSize(), 24.0);
    EXPECT_EQ(runs[2].text, QStringLiteral("cd"));
    EXPECT_EQ(runs[2].format.fontWeight(), QFont::Normal);
}

TEST(RtfReaderTest, FontTableMapsWindowsFontsAndSelectsByNumber) {
    QTextDocument document;
    RtfReader::Read(
        "{\\rtf1\\deff1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}\\f2\\froman "
        "Times New Roman;"
        "{\\f3 Exotic Face;}}one \\f0 two \\f2 three \\f3 four \\f9 five}",
        document);
    const std::vector<TextRun> runs = RunsOf(document.begin());
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[0].format.fontFamilies().toStringList(),
              QStringList{QStringLiteral("Liberation Mono")});
    EXPECT_EQ(runs[1].format.fontFamilies().toStringList(),
              QStringList{QStringLiteral("Liberation Sans")});
    EXPECT_EQ(runs[2].format.fontFamilies().toStringList(),
              QStringList{QStringLiteral("Liberation Serif")});
    EXPECT_EQ(runs[3].format.fontFamilies().toStringList(),
              QStringList{QStringLiteral("Exotic Face")});
    // A font number the table does not hold keeps the document's own font.
    EXPECT_FALSE(runs[4].format.hasProperty(QTextFormat::FontFamilies));
}

TEST(RtfReaderTest, DamagedInputIsShownAsFarAsItGoes) {
    struct Case {
        QByteArray rtf;
        QString text;
        bool complete;
    };
    const Case cases[] = {
        // A file cut off part-way: everything read so far is shown.
        {SampleReport().left(200), QString(), false},
        {"{\\rtf1 \\b bold but never closed", QStringLiteral("bold but never closed"), false},
        {"{\\rtf1 }}}} extra closers", QString(), true},
        {"{\\rtf1 a}}}b", QStringLiteral("a"), true},
        {"{\\rtf1 \\fs999999999999999999999 big \\fs-5 small \\uc99999999999\\u65? x}",
         QStringLiteral("big small A"), true},
        {"{\\rtf1 \\", QString(), false},
        {"{\\rtf1 \\'", QString(), false},
        {"{\\rtf1 \\'4", QString(), false},
        {"{\\rtf1 \\'zz ok}", QStringLiteral("zz ok"), true},
        {"{\\rtf1 \\bin999999999", QString(), false},
        {"{\\rtf1 \\u", QString(), false},
        {"{\\rtf1 \\u55357?", QString(QChar(QChar::ReplacementCharacter)), false},
        {QByteArray("{\\rtf1 nul\0byte}", 16), QStringLiteral("nulbyte"), true},
        {"{\\rtf1 \\" + QByteArray(5000, 'a') + "1 text}", QStringLiteral("text"), true},
    };
    for (const Case& c : cases) {
        QTextDocument document;
        const RtfReader::Result result = RtfReader::Read(c.rtf, document);
        EXPECT_EQ(result.complete, c.complete) << c.rtf.left(60).toStdString();
        if (!c.text.isNull()) {
            EXPECT_EQ(document.toPlainText(), c.text) << c.rtf.left(60).toStdString();
        }
    }
    QTextDocument cut;
    RtfReader::Read(SampleReport().left(200), cut);
    EXPECT_TRUE(cut.toPlainText().startsWith(
        QStringLiteral("Inbreeding and Relationship Report\n(Generated")));

    QTextDocument plain;
    const RtfReader::Result result = RtfReader::Read("Just a note, not rich text {\\b}", plain);
    EXPECT_FALSE(result.looks_like_rtf);
    EXPECT_EQ(plain.toPlainText(), QStringLiteral("Just a note, not rich text {\\b}"));
}

TEST(RtfReaderTest, DeepNestingAndLargeInputStayBounded) {
    // A million open groups: the state stack stops growing, and closing them all returns to
    // the formatting outside.
    QByteArray deep = "{\\rtf1 a";
    deep += QByteArray(1'000'000, '{');
    deep += "\\b inner";
    deep += QByteArray(1'000'000, '}');
    deep += "c}";
    QElapsedTimer timer;
    timer.start();
    QTextDocument document;
    const RtfReader::Result result = RtfReader::Read(deep, document);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(document.toPlainText(), QStringLiteral("ainnerc"));
    EXPECT_LT(timer.elapsed(), 5000);

    // Many small format changes and paragraphs.
    QByteArray busy = "{\\rtf1 ";
    for (int i = 0; i < 20000; ++i) {
        busy += (i % 2 ? "\\b x\\b0 y" : "\\par ");
    }
    busy += "}";
    timer.restart();
    QTextDocument busy_document;
    RtfReader::Read(busy, busy_document);
    EXPECT_EQ(busy_document.blockCount(), 10001);
    EXPECT_LT(timer.elapsed(), 5000);
}

// Random bytes, and the report with random damage: the reader must finish on all of them.
TEST(RtfReaderTest, SurvivesRandomDamage) {
    QRandomGenerator random(19690210);
    const QByteArray report = SampleReport();
    const QByteArray alphabet = "{}\\'*~u0123456789-abfsqcparl ;?\r\n\xE9";
    for (int round = 0; round < 2000; ++round) {
        QByteArray input;
        if (round % 2 == 0) {
            input = report;
            const int edits = 1 + static_cast<int>(random.bounded(20));
            for (int e = 0; e < edits; ++e) {
                const qsizetype at = random.bounded(static_cast<int>(input.size()));
                switch (random.bounded(3)) {
                    case 0:
                        input[at] = alphabet[random.bounded(static_cast<int>(alphabet.size()))];
                        break;
                    case 1:
                        input.remove(at, random.bounded(10));
                        break;
                    default:
                        input.insert(at,
                                     alphabet[random.bounded(static_cast<int>(alphabet.size()))]);
                        break;
                }
            }
            input.truncate(random.bounded(static_cast<int>(input.size()) + 1));
        } else {
            input = "{\\rtf1 ";
            const int length = static_cast<int>(random.bounded(400));
            for (int i = 0; i < length; ++i) {
                input += random.bounded(4) == 0
                             ? static_cast<char>(random.bounded(256))
                             : alphabet[random.bounded(static_cast<int>(alphabet.size()))];
            }
        }
        QTextDocument document;
        const RtfReader::Result result = RtfReader::Read(input, document);
        // Shown text never outgrows the input.
        EXPECT_LE(document.toPlainText().size(), input.size() + 1);
        (void)result;
    }
}

}  // namespace
}  // namespace lineara
