#pragma once

#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <stdexcept>

namespace lineara {

// A CSV file that cannot be read or written: which file, where, and why.
class CsvError : public std::runtime_error {
public:
    CsvError(const QString& file, const QString& reason)
        : std::runtime_error(reason.toStdString()), file_(file), reason_(reason) {}
    const QString& File() const { return file_; }
    const QString& Reason() const { return reason_; }

private:
    QString file_;
    QString reason_;
};

// Reads a CSV file record by record (RFC 4180, as spreadsheets write it), holding only one
// chunk of the file and one record in memory. The encoding (UTF-8 with or without a byte-order
// mark, else Windows-1252 when the bytes are not valid UTF-8) and the delimiter (comma,
// semicolon or tab, whichever the first line holds most of outside quotes) are found when the
// file is opened. Files that are not text (NUL bytes), a record longer than kMaxRecordChars
// and a quote never closed raise CsvError with the line number; nothing is ever half-read
// without the caller knowing.
class CsvReader {
public:
    static constexpr qsizetype kMaxRecordChars = 1 << 20;

    explicit CsvReader(const QString& path, qsizetype max_record_chars = kMaxRecordChars);

    QChar Delimiter() const { return delimiter_; }
    // "UTF-8" or "Windows-1252".
    QString Encoding() const {
        return utf8_ ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1252");
    }

    // The next record's fields; false at the end of the file. Blank lines are skipped.
    bool Next(QStringList& fields);
    // The line on which the record last returned began (1-based).
    qint64 RecordLine() const { return record_line_; }

private:
    void Scan();
    bool Fill();
    int Get();
    int Peek();
    [[noreturn]] void Fail(const QString& reason) const;

    QString path_;
    QFile file_;
    qsizetype max_record_chars_;
    bool utf8_ = true;
    bool bom_ = false;
    QChar delimiter_ = QLatin1Char(',');
    QStringDecoder decoder_;
    QString buffer_;
    qsizetype pos_ = 0;
    bool at_end_ = false;
    qint64 line_ = 1;
    qint64 record_line_ = 0;
};

}  // namespace lineara
