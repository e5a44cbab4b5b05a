#pragma once

#include "store/DogRecord.h"

#include <QString>

#include <vector>

namespace lineara {

// A kennel written as plain text, the way a breeder would jot it down. The bundled sample
// kennel is kept in this form, and tests use it to set up pedigrees that read like one.
//
//     # Lines starting with '#' are comments; blank lines are ignored.
//     dog: Stonebrook Tall Timber        <- starts a dog; the value is its registered name
//     call: Timber
//     sex: male                          <- male/female (also dog/bitch)
//     born: 2014-04-12                   <- ISO dates only, whatever the locale
//     sire: Windmere Highland Piper      <- parents by registered name, before or after
//     dam: Stonebrook Morning Lark
//     titles: AmCh CanCh AmCD            <- Yes/No field names, blanks or commas between
//     Certifications: OFA Good
//     Comments: First line               <- any other DogInfo field by its own name
//       and an indented second line      <- continues the value above
//
// Parents are found by registered name: an exact match first, then one ignoring letter
// case; a name that still matches more than one dog is an error. A dog without a "sex:"
// line is male when some dog names it as its sire, and female otherwise, as a new record
// in the program is.
//
// Continuation lines join memo fields (PrintNotes, Comments) with a line break and every
// other value with a blank. DogID, SireID, DamID and the scratch fields cannot be given:
// the store assigns identities and the parents come from "sire:" and "dam:".
class KennelText {
public:
    struct Issue {
        int line = 0;  // 1-based; 0 when the issue concerns the whole text
        QString message;
        bool operator==(const Issue&) const = default;
    };

    struct Dog {
        // Everything but SireID and DamID, which stay 0 here; see sire and dam.
        DogRecord record;
        int line = 0;   // line of the dog's "dog:" entry
        int sire = -1;  // index into Dogs() of the sire, -1 = none
        int dam = -1;
    };

    // Reads a kennel. Never throws: anything wrong is reported through Errors(), and a text
    // with errors yields no dogs.
    static KennelText Parse(const QString& text);
    // Reads a kennel file (UTF-8, with or without a byte-order mark). A file that cannot be
    // read or is not UTF-8 text gives one error on line 0.
    static KennelText ParseFile(const QString& path);

    const std::vector<Dog>& Dogs() const { return dogs_; }
    // Problems that make the text unusable, in line order.
    const std::vector<Issue>& Errors() const { return errors_; }
    // Oddities that the program itself would accept (a female sire, a dog that is its own
    // ancestor), in line order.
    const std::vector<Issue>& Warnings() const { return warnings_; }
    bool Ok() const { return errors_.empty(); }

    // "line 12: text" for each error, one per line, for messages.
    QString ErrorText() const;

private:
    class Reader;

    std::vector<Dog> dogs_;
    std::vector<Issue> errors_;
    std::vector<Issue> warnings_;
};

}  // namespace lineara
