#pragma once

#include "store/Sqlite.h"

#include <QString>

#include <vector>

namespace lineara {

// The characters for which the trigram index of names cannot stand in for upper-casing: the
// search upper-cases names and text (as QString::toUpper does), while the index folds each
// character on its own (as SQLite's trigram tokenizer does). The two agree on a character c
// when c upper-cases to one character u and folding u gives what folding c gives; every
// other character is listed here ("ß" upper-cases to "SS", the dotless "ı" to "I"), in
// ascending order. Worked out once per run from Qt's and SQLite's own tables.
const std::vector<char32_t>& UnfoldableCharacters();

// True when every unfoldable character of this run is among those the database's partial
// index of unfoldable names was made for: then names outside that index can be found
// through the trigram index.
bool UnfoldableIndexCovers();

}  // namespace lineara
