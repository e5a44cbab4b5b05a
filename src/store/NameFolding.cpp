#include "store/NameFolding.h"

#include "store/DogSchema.h"

#include <sqlite3.h>

#include <algorithm>

namespace lineara {

namespace {

QString Repeated(char32_t c, int times) {
    QString text;
    for (int i = 0; i < times; ++i) {
        text += QString::fromUcs4(&c, 1);
    }
    return text;
}

std::vector<char32_t> WorkOutUnfoldable() {
    // Characters that upper-case to themselves agree trivially; of the others, those that
    // upper-case to more than one character never agree, and the rest are put to SQLite:
    // a row of "ccc" must be found by the phrase "uuu".
    //
    // Every character is upper-cased in one go, each followed by a line feed (which nothing
    // upper-cases into or out of), and the result is split at the line feeds again.
    std::vector<char32_t> all;
    for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
        if (c < 0xD800 || c >= 0xE000) {
            all.push_back(c);
        }
    }
    std::vector<char32_t> separated;
    separated.reserve(all.size() * 2);
    for (const char32_t c : all) {
        separated.push_back(c);
        separated.push_back(U'\n');
    }
    const QList<uint> upper =
        QString::fromUcs4(separated.data(), static_cast<qsizetype>(separated.size())).toUpper().toUcs4();
    std::vector<char32_t> unfoldable;
    std::vector<std::pair<char32_t, QString>> candidates;
    qsizetype at = 0;
    for (const char32_t c : all) {
        const qsizetype start = at;
        while (at < upper.size() && upper[at] != U'\n') {
            ++at;
        }
        const qsizetype length = at - start;
        const char32_t first = length > 0 ? static_cast<char32_t>(upper[start]) : 0;
        ++at;
        if (length == 1 && first == c) {
            continue;
        }
        if (length != 1) {
            unfoldable.push_back(c);
            continue;
        }
        candidates.emplace_back(c, Repeated(first, 3));
    }
    try {
        sqlite::Connection memory(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        memory.Execute("CREATE VIRTUAL TABLE t USING fts5(x, tokenize='trigram', detail='none'); BEGIN;");
        sqlite::Statement insert(memory, "INSERT INTO t(rowid, x) VALUES (?1, ?2)");
        for (const auto& [c, upper] : candidates) {
            insert.Reset();
            insert.BindInteger(1, c);
            insert.BindText(2, Repeated(c, 3));
            insert.Step();
        }
        memory.Execute("COMMIT");
        sqlite::Statement find(memory, "SELECT 1 FROM t WHERE t MATCH ?1 AND rowid = ?2");
        for (const auto& [c, upper] : candidates) {
            find.Reset();
            QString phrase = QLatin1Char('"') + upper + QLatin1Char('"');
            find.BindText(1, phrase);
            find.BindInteger(2, c);
            if (!find.Step()) {
                unfoldable.push_back(c);
            }
        }
    } catch (const sqlite::Error&) {
        // Without a working trigram index every non-ASCII character is suspect.
        unfoldable.clear();
        for (const auto& candidate : candidates) {
            unfoldable.push_back(candidate.first);
        }
    }
    std::sort(unfoldable.begin(), unfoldable.end());
    return unfoldable;
}

}  // namespace

const std::vector<char32_t>& UnfoldableCharacters() {
    static const std::vector<char32_t> characters = WorkOutUnfoldable();
    return characters;
}

bool UnfoldableIndexCovers() {
    static const bool covers = [] {
        // The indexed characters are written as for a GLOB class: single ones and ranges "a-b".
        const QList<uint> indexed = QString::fromUtf8(schema::kUnfoldableCharacters).toUcs4();
        std::vector<std::pair<uint, uint>> ranges;
        for (qsizetype i = 0; i < indexed.size(); ++i) {
            if (i + 2 < indexed.size() && indexed[i + 1] == '-') {
                ranges.emplace_back(indexed[i], indexed[i + 2]);
                i += 2;
            } else {
                ranges.emplace_back(indexed[i], indexed[i]);
            }
        }
        const std::vector<char32_t>& needed = UnfoldableCharacters();
        return std::all_of(needed.begin(), needed.end(), [&](char32_t c) {
            return std::any_of(ranges.begin(), ranges.end(),
                               [c](const auto& range) { return range.first <= c && c <= range.second; });
        });
    }();
    return covers;
}

}  // namespace lineara
