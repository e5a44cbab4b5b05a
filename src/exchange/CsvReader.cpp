#include "exchange/CsvReader.h"

#include "app/Cp1252.h"

#include <array>

namespace lineara {

namespace {

constexpr qint64 kChunk = 1 << 20;

}  // namespace

CsvReader::CsvReader(const QString& path, qsizetype max_record_chars)
    : path_(path), file_(path), max_record_chars_(max_record_chars) {
    if (!file_.open(QIODevice::ReadOnly)) {
        throw CsvError(path_,
                       QStringLiteral("The file cannot be opened (%1).").arg(file_.errorString()));
    }
    Scan();
    decoder_ = QStringDecoder(QStringDecoder::Utf8);
    if (!file_.seek(bom_ ? 3 : 0)) {
        Fail(QStringLiteral("The file cannot be read (%1).").arg(file_.errorString()));
    }
}

void CsvReader::Fail(const QString& reason) const {
    throw CsvError(path_, reason);
}

// One pass over the raw bytes before reading: refuses files that are not text, learns whether
// the bytes are valid UTF-8, and counts the delimiters of the first line.
void CsvReader::Scan() {
    QStringDecoder check(QStringDecoder::Utf8);
    std::array<qint64, 3> counts{};  // comma, semicolon, tab
    bool first_line = true;
    bool quoted = false;
    bool first_chunk = true;
    qint64 line = 1;
    while (true) {
        const QByteArray chunk = file_.read(kChunk);
        if (chunk.isEmpty()) {
            if (file_.error() != QFileDevice::NoError) {
                Fail(QStringLiteral("The file cannot be read (%1).").arg(file_.errorString()));
            }
            break;
        }
        qsizetype start = 0;
        if (first_chunk && chunk.startsWith("\xEF\xBB\xBF")) {
            bom_ = true;
            start = 3;
        }
        first_chunk = false;
        for (qsizetype i = start; i < chunk.size(); ++i) {
            const char c = chunk.at(i);
            if (c == '\0') {
                Fail(
                    QStringLiteral("Line %1 holds a NUL byte: this is not a text file.").arg(line));
            }
            if (c == '\n') {
                ++line;
            }
            if (first_line) {
                if (c == '"') {
                    quoted = !quoted;
                } else if (!quoted) {
                    if (c == '\n' || c == '\r') {
                        first_line = false;
                    } else if (c == ',') {
                        ++counts[0];
                    } else if (c == ';') {
                        ++counts[1];
                    } else if (c == '\t') {
                        ++counts[2];
                    }
                }
            }
        }
        if (utf8_) {
            const QString decoded = check.decode(chunk);
            if (check.hasError()) {
                utf8_ = false;
            }
        }
    }
    if (bom_) {
        utf8_ = true;
    }
    if (counts[1] > counts[0] && counts[1] >= counts[2]) {
        delimiter_ = QLatin1Char(';');
    } else if (counts[2] > counts[0] && counts[2] > counts[1]) {
        delimiter_ = QLatin1Char('\t');
    }
}

bool CsvReader::Fill() {
    if (at_end_) {
        return false;
    }
    const QByteArray chunk = file_.read(kChunk);
    if (chunk.isEmpty()) {
        if (file_.error() != QFileDevice::NoError) {
            Fail(QStringLiteral("The file cannot be read (%1).").arg(file_.errorString()));
        }
        at_end_ = true;
        return false;
    }
    buffer_ = utf8_ ? decoder_.decode(chunk) : cp1252::Decode(chunk);
    pos_ = 0;
    return !buffer_.isEmpty() || Fill();
}

int CsvReader::Peek() {
    if (pos_ >= buffer_.size() && !Fill()) {
        return -1;
    }
    return buffer_.at(pos_).unicode();
}

int CsvReader::Get() {
    const int c = Peek();
    if (c >= 0) {
        ++pos_;
        if (c == '\n') {
            ++line_;
        }
    }
    return c;
}

bool CsvReader::Next(QStringList& fields) {
    const int delimiter = delimiter_.unicode();
    while (true) {
        fields.clear();
        record_line_ = line_;
        if (Peek() < 0) {
            return false;
        }
        QString field;
        qsizetype size = 0;
        bool record_done = false;
        while (!record_done) {
            // One field.
            field.clear();
            int c = Peek();
            if (c == '"') {
                Get();
                const qint64 opened = line_;
                while (true) {
                    c = Get();
                    if (c < 0) {
                        Fail(QStringLiteral("The quote opened on line %1 is never closed.")
                                 .arg(opened));
                    }
                    if (c == '"') {
                        if (Peek() == '"') {
                            Get();
                            field += QLatin1Char('"');
                        } else {
                            break;
                        }
                    } else {
                        field += QChar(static_cast<char16_t>(c));
                    }
                    if (++size > max_record_chars_) {
                        Fail(QStringLiteral("The record that begins on line %1 is longer than %2 "
                                            "characters (is a quote never closed?).")
                                 .arg(record_line_)
                                 .arg(max_record_chars_));
                    }
                }
                // Text after the closing quote is kept, as spreadsheets do.
            }
            while (true) {
                c = Get();
                if (c < 0) {
                    record_done = true;
                    break;
                }
                if (c == delimiter) {
                    break;
                }
                if (c == '\r') {
                    if (Peek() == '\n') {
                        Get();
                    }
                    record_done = true;
                    break;
                }
                if (c == '\n') {
                    record_done = true;
                    break;
                }
                field += QChar(static_cast<char16_t>(c));
                if (++size > max_record_chars_) {
                    Fail(QStringLiteral("Line %1 is longer than %2 characters.")
                             .arg(record_line_)
                             .arg(max_record_chars_));
                }
            }
            fields.append(field);
        }
        if (fields.size() == 1 && fields.first().isEmpty()) {
            continue;  // a blank line
        }
        return true;
    }
}

}  // namespace lineara
