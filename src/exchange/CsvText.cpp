#include "exchange/CsvText.h"

#include <cstring>

namespace lineara {

namespace {

bool IsFormulaStart(int c) {
    return c == '=' || c == '+' || c == '-' || c == '@';
}

}  // namespace

bool NeedsFormulaGuard(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char('\'')) {
        ++i;
    }
    return i < text.size() && IsFormulaStart(text.at(i).unicode());
}

QString RemoveFormulaGuard(const QString& text) {
    if (text.startsWith(QLatin1Char('\'')) && NeedsFormulaGuard(text)) {
        return text.mid(1);
    }
    return text;
}

void AppendCsvField(QByteArray& out, const char* utf8, qsizetype size, bool guard, char delimiter) {
    bool quote = false;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = utf8[i];
        if (c == delimiter || c == '"' || c == '\n' || c == '\r') {
            quote = true;
            break;
        }
    }
    bool apostrophe = false;
    if (guard && size > 0) {
        qsizetype i = 0;
        while (i < size && utf8[i] == '\'') {
            ++i;
        }
        apostrophe = i < size && IsFormulaStart(static_cast<unsigned char>(utf8[i]));
    }
    if (!quote) {
        if (apostrophe) {
            out.append('\'');
        }
        out.append(utf8, size);
        return;
    }
    out.append('"');
    if (apostrophe) {
        out.append('\'');
    }
    const char* p = utf8;
    const char* end = utf8 + size;
    while (p < end) {
        const char* q =
            static_cast<const char*>(std::memchr(p, '"', static_cast<std::size_t>(end - p)));
        if (!q) {
            out.append(p, end - p);
            break;
        }
        out.append(p, q - p + 1);
        out.append('"');
        p = q + 1;
    }
    out.append('"');
}

void AppendCsvField(QByteArray& out, const QString& text, bool guard, char delimiter) {
    const QByteArray utf8 = text.toUtf8();
    AppendCsvField(out, utf8.constData(), utf8.size(), guard, delimiter);
}

}  // namespace lineara
