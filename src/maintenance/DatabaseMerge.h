#pragma once

#include "app/Progress.h"
#include "app/Prompts.h"
#include "store/FailAfter.h"

#include <QString>

#include <functional>

namespace lineara {

class DogDatabase;

// What the merge and the clean-up need from whoever runs them.
struct MaintenanceHooks {
    // Questions and messages. Without prompts the clean-up decides by itself (the automatic
    // mode) and shows nothing.
    Prompts* prompts = nullptr;
    Progress* progress = nullptr;
    FailAfter* fail_after = nullptr;
    // Interactive mode: shows the kept dog of two identical entries in the dog editor, with
    // its Cancel button hidden. The editor works inside the clean-up's transaction.
    std::function<void(qint32 dog_id)> show_merged;
    // Repaints the windows after each question.
    std::function<void()> repaint;
};

struct MaintenanceCounts {
    qint64 added = 0;
    qint64 merged = 0;
    qint64 deleted = 0;
};

// The message shown when the merge or clean-up is done: "Merge Complete" or
// "Clean-up Complete".
QString CompletionText(bool merging);

// Copies every dog of the file at `merge_source_path` into the current database (new DogIDs,
// parents re-pointed to the copies, parents the other file names but does not hold become 0),
// then looks for and folds together duplicate entries. With an empty `merge_source_path` only
// the clean-up runs. Everything happens in one transaction: on any failure the current
// database is exactly as it was, and the other file is only ever read. Fields are copied by
// their names, so a file whose columns come in another order, or an older layout, merges
// correctly. Throws StoreError naming the file at fault (a chosen file that is not a LINEARA
// database, a damaged file, a full disk) and InjectedFailure from the test seam. The
// completion message is left to the caller, after the work is safely stored.
MaintenanceCounts RunMergeDriver(DogDatabase& current, const QString& merge_source_path,
                                 MaintenanceHooks& hooks);

}  // namespace lineara
