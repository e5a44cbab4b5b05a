#pragma once

#include "app/Progress.h"
#include "store/FailAfter.h"
#include "store/StagedDatabase.h"
#include "store/DogSchema.h"

#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace lineara {

struct AppState;
class Prompts;

// What an import brought across.
struct V3ImportCounts {
    int imported = 0;
    int skipped = 0;
};

// The title flags of an old record: each 16-bit flag's offset and the field it fills.
const std::vector<std::pair<int, Field>>& OldTitleFlags();

// Imports the old data file at `dat_path` into a new database at `target`, built under a
// temporary name in one transaction and moved into place only when both passes are complete.
// `before_replace` runs just before the move (the caller closes a database open under the
// target name). Throws StoreError naming the file and the reason when the old file is damaged
// or the new one cannot be made; nothing is then left under the target name that was not
// there before. The old file is only read.
V3ImportCounts ImportV3File(const QString& dat_path, const QString& target,
                            StagedDatabase::Replace replace, Progress& progress,
                            FailAfter& fail_after, const std::function<void()>& before_replace = {});

// "Imported Data.mdb" in the folder of the given database file.
QString ImportedDatabasePath(const QString& current_database);

// The start-up import: finds the old data file in the working folder, imports it beside the
// current database, makes the new file current and renames the old one "LINEARA.OLDDAT".
// `release_current` closes every cursor on the current database before the new file takes
// its place. Problems are told through `prompts`; true when the new database is current.
bool RunV3Import(AppState& state, Prompts& prompts, Progress& progress,
                 const std::function<void()>& release_current, FailAfter& fail_after);

}  // namespace lineara
