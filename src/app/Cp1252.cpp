#include "app/Cp1252.h"

#include <QHash>

#include <array>

namespace lineara::cp1252 {

namespace {

// Bytes 0x80..0x9F; the five bytes the code page leaves undefined map to the C1 controls.
constexpr std::array<char16_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const QHash<char16_t, char>& EncodeTable() {
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> result;
        for (int i = 0; i < 32; ++i) {
            result.insert(kHighControls[static_cast<std::size_t>(i)], static_cast<char>(0x80 + i));
        }
        return result;
    }();
    return table;
}

}  // namespace

QChar CharOf(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return QChar(kHighControls[byte - 0x80]);
    }
    return QChar(static_cast<char16_t>(byte));
}

QString Decode(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        text.append(CharOf(static_cast<unsigned char>(c)));
    }
    return text;
}

QByteArray Encode(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    const auto& table = EncodeTable();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            bytes.append(static_cast<char>(c));
        } else if (auto it = table.constFind(c); it != table.constEnd()) {
            bytes.append(*it);
        } else {
            // A character outside the code page; a surrogate pair is one character.
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                QChar::isLowSurrogate(text.at(i + 1).unicode())) {
                ++i;
            }
            bytes.append('?');
        }
    }
    return bytes;
}

}  // namespace lineara::cp1252
