#pragma once

#include "sample/KennelText.h"
#include "store/DogDatabase.h"

#include <QString>

#include <stdexcept>
#include <vector>

namespace lineara {

// A kennel text that cannot be loaded, with every problem found in it.
class KennelTextError : public std::runtime_error {
public:
    KennelTextError(QString source, std::vector<KennelText::Issue> issues);

    const QString& Source() const { return source_; }
    const std::vector<KennelText::Issue>& Issues() const { return issues_; }

private:
    QString source_;
    std::vector<KennelText::Issue> issues_;
};

// Writes every dog of a kennel into the database in file order, all in one transaction, and
// returns the DogIDs they were given, index for index with kennel.Dogs(). In a new database
// the n-th dog of the text therefore gets DogID n. Throws KennelTextError when the kennel
// has errors (nothing is written); a database failure rolls everything back.
std::vector<qint32> WriteKennel(DogDatabase& database, const KennelText& kennel);

// Builds a new database file from a kennel text file and returns the kennel read (for its
// warnings). The database is made under a temporary name and moved into place only when
// complete, so a failure never leaves a half-filled file behind. Throws StoreError when
// the database file already exists or cannot be made, and KennelTextError when the text
// cannot be loaded.
KennelText BuildKennelDatabase(const QString& source, const QString& database_path);

}  // namespace lineara
