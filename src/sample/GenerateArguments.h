#pragma once

#include "sample/PedigreeGenerator.h"

#include <QString>
#include <QStringList>

namespace lineara {

// What lineara-generate is asked to do, read from its command line:
//
//     lineara-generate --dogs N --generations G --inbreeding RATE --seed S FILE
//
// with the other shapes of PedigreeOptions as further options, or a pedigree file to read
// instead (--csv), or kennel text to write instead of a database (--text). Options and FILE
// may come in any order.
struct GenerateRequest {
    QString target;  // the database, or the kennel text with --text, to write
    PedigreeOptions options;
    QString csv;  // a pedigree file to read instead of generating one, or empty
    QString prefix = QStringLiteral("Animal ");  // name prefix for the --csv pedigree
    bool as_text = false;
    bool help = false;  // only --help was asked for
};

class GenerateArguments {
public:
    // Reads the arguments (without the program's name). Throws std::invalid_argument with a
    // message for the user when they cannot be understood. Ranges are left to the generator.
    static GenerateRequest Parse(const QStringList& args);
    static QString Usage();
};

}  // namespace lineara
