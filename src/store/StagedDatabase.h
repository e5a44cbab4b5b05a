#pragma once

#include <QString>

namespace lineara {

// A new database file built under a temporary name in the folder of its final name and moved
// into place only when complete, so that a failure or a kill part-way never leaves a half-made
// file under the final name and never harms a file that had that name before.
//
// Usage: StagedDatabase staged(final); fill staged.TemporaryPath() (open it, write in one
// transaction, close every cursor on it); staged.Commit(...). Destroying an uncommitted one
// removes the temporary file.
class StagedDatabase {
public:
    // Creates the empty database (our schema) under a temporary name. Throws StoreError naming
    // the final file when the folder cannot take it.
    explicit StagedDatabase(const QString& final_path);
    ~StagedDatabase();
    StagedDatabase(const StagedDatabase&) = delete;
    StagedDatabase& operator=(const StagedDatabase&) = delete;

    const QString& TemporaryPath() const { return temporary_; }
    const QString& FinalPath() const { return final_; }

    enum class Replace { Never, Allowed };
    // Moves the finished file to its final name in one step. With Replace::Never an existing
    // file of that name is an error (StoreError) and stays as it was; with Replace::Allowed it
    // is replaced atomically. Every connection to the temporary file must be closed first.
    void Commit(Replace replace);

private:
    QString final_;
    QString temporary_;
    bool committed_ = false;
};

}  // namespace lineara
