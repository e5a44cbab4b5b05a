#pragma once

#include "app/SettingsRecord.h"

#include <QString>

namespace lineara {

// The values the whole program shares, owned by the program and passed by reference.
struct AppState {
    SettingsRecord settings;
    // The dog a dialog hands back: 0 = none, -1 from the find dialog = add a new dog.
    qint32 SelectedDogID = 0;
    // Which sex a dialog should offer: 1 male, 0 female, -1 any.
    qint16 SexHint = 0;
    // The database being merged in; empty = clean-up only.
    QString MergeSourcePath;
    // Folder of the settings file and the old data file (the working folder at start).
    QString working_directory;

    QString DatabasePath() const { return settings.DatabaseFile.trimmed(); }
};

}  // namespace lineara
