#include "exchange/CsvReader.h"
#include "exchange/CsvText.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <QFile>

namespace lineara {
namespace {

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

std::vector<QStringList> ReadAll(CsvReader& reader) {
    std::vector<QStringList> rows;
    QStringList fields;
    while (reader.Next(fields)) {
        rows.push_back(fields);
    }
    return rows;
}

TEST(CsvReader, ReadsQuotesLineBreaksAndDetectsDelimiterAndEncoding) {
    test::TempWorkDir work;
    struct Case {
        QByteArray bytes;
        char delimiter;
        const char* encoding;
    };
    const std::vector<Case> cases{
        {"Name,Notes\r\n\"Rex, the \"\"King\"\"\",\"two\r\nlines\"\r\n\r\nMüller,\n", ',', "UTF-8"},
        {"\xEF\xBB\xBFName;Notes\nRex, the \"King\";\"two\r\nlines\"\nMüller;", ';', "UTF-8"},
        {"Name\tNotes\nRex, the \"King\"\t\"two\r\nlines\"\nM\xFCller\t", '\t', "Windows-1252"},
    };
    for (const Case& c : cases) {
        Write(QStringLiteral("in.csv"), c.bytes);
        CsvReader reader(QStringLiteral("in.csv"));
        EXPECT_EQ(reader.Delimiter(), QLatin1Char(c.delimiter));
        EXPECT_EQ(reader.Encoding(), QLatin1String(c.encoding));
        const auto rows = ReadAll(reader);
        ASSERT_EQ(rows.size(), 3u) << c.bytes.toStdString();
        EXPECT_EQ(rows[0], (QStringList{QStringLiteral("Name"), QStringLiteral("Notes")}));
        EXPECT_EQ(rows[1], (QStringList{QStringLiteral("Rex, the \"King\""),
                                        QStringLiteral("two\r\nlines")}));
        EXPECT_EQ(rows[2], (QStringList{QStringLiteral("Müller"), QString()}));
    }
}

TEST(CsvReader, RecordsKnowTheLineTheyBeganOn) {
    test::TempWorkDir work;
    Write(QStringLiteral("in.csv"), "a\n\"b\nc\"\n\nd\n");
    CsvReader reader(QStringLiteral("in.csv"));
    QStringList fields;
    std::vector<qint64> lines;
    while (reader.Next(fields)) {
        lines.push_back(reader.RecordLine());
    }
    EXPECT_EQ(lines, (std::vector<qint64>{1, 2, 5}));
}

TEST(CsvReader, HostileFilesGiveAClearMessageNamingTheLine) {
    test::TempWorkDir work;
    struct Case {
        QByteArray bytes;
        const char* reason;
    };
    const std::vector<Case> cases{
        {QByteArray("a,b\nc,\"d\ne\n"), "The quote opened on line 2 is never closed."},
        {QByteArray("a,b\nc,d\0e\n", 10), "Line 2 holds a NUL byte: this is not a text file."},
        {QByteArray("a\n") + QByteArray(5000, 'x') + "\n",
         "Line 2 is longer than 1000 characters."},
        {QByteArray("a\n\"") + QByteArray(5000, 'x'),
         "The record that begins on line 2 is longer than 1000 characters (is a quote never "
         "closed?)."},
    };
    for (const Case& c : cases) {
        Write(QStringLiteral("bad.csv"), c.bytes);
        try {
            CsvReader reader(QStringLiteral("bad.csv"), 1000);
            ReadAll(reader);
            ADD_FAILURE() << "no error for " << c.reason;
        } catch (const CsvError& error) {
            EXPECT_EQ(error.Reason(), QLatin1String(c.reason));
            EXPECT_EQ(error.File(), QStringLiteral("bad.csv"));
        }
    }
    try {
        CsvReader reader(QStringLiteral("missing.csv"));
        ADD_FAILURE();
    } catch (const CsvError& error) {
        EXPECT_TRUE(error.Reason().startsWith(QStringLiteral("The file cannot be opened")));
    }
}

// A line far longer than memory allows is refused after the limit, not read whole.
TEST(CsvReader, AHugeLineIsRefusedWithoutReadingItWhole) {
    test::TempWorkDir work;
    {
        QFile file(QStringLiteral("huge.csv"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QByteArray block(1 << 20, 'x');
        for (int i = 0; i < 40; ++i) {
            file.write(block);
        }
    }
    CsvReader reader(QStringLiteral("huge.csv"));
    QStringList fields;
    EXPECT_THROW(reader.Next(fields), CsvError);
}

TEST(CsvText, FormulasAreGuardedAndTheGuardComesOffAgain) {
    const std::vector<std::pair<QString, QByteArray>> cases{
        {QStringLiteral("=1+2"), "'=1+2"},
        {QStringLiteral("+44 123"), "'+44 123"},
        {QStringLiteral("-x"), "'-x"},
        {QStringLiteral("@SUM(A1)"), "'@SUM(A1)"},
        {QStringLiteral("'=x"), "''=x"},
        {QStringLiteral("'Tis Me"), "'Tis Me"},
        {QStringLiteral("a=b"), "a=b"},
        {QStringLiteral("=a,b"), "\"'=a,b\""},
        {QStringLiteral("say \"hi\"\nbye"), "\"say \"\"hi\"\"\nbye\""},
        {QString(), ""},
    };
    for (const auto& [text, bytes] : cases) {
        QByteArray out;
        AppendCsvField(out, text, true);
        EXPECT_EQ(out, bytes) << text.toStdString();
        QString back = QString::fromUtf8(out);
        if (back.startsWith(QLatin1Char('"'))) {
            back =
                back.mid(1, back.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
        }
        EXPECT_EQ(RemoveFormulaGuard(back), text);
    }
    QByteArray plain;
    AppendCsvField(plain, QStringLiteral("=x"), false);
    EXPECT_EQ(plain, QByteArray("=x"));
}

}  // namespace
}  // namespace lineara
