#pragma once

#include "app/Progress.h"
#include "store/FailAfter.h"
#include "store/Sqlite.h"

#include <QString>

namespace lineara {

// What happens when a file made by an earlier version of LINEARA is opened. The program sets
// one that tells the user and shows the upgrade's progress; without one (the command line,
// until asked with "upgrade") an older file is refused and left untouched.
class LayoutUpgradePolicy {
public:
    virtual ~LayoutUpgradePolicy() = default;
    // Called once, before anything in the file changes. False refuses the upgrade (and the
    // file is not opened).
    virtual bool Announce(const QString& path) = 0;
    virtual Progress& UpgradeProgress() = 0;
    // Called after the upgrade, whether it worked or not.
    virtual void Done() {}
};

void SetLayoutUpgradePolicy(LayoutUpgradePolicy* policy);
LayoutUpgradePolicy* CurrentLayoutUpgradePolicy();

// Sets a policy for as long as it lives, then puts the previous one back.
class ScopedLayoutUpgradePolicy {
public:
    explicit ScopedLayoutUpgradePolicy(LayoutUpgradePolicy* policy)
        : previous_(CurrentLayoutUpgradePolicy()) {
        SetLayoutUpgradePolicy(policy);
    }
    ~ScopedLayoutUpgradePolicy() { SetLayoutUpgradePolicy(previous_); }
    ScopedLayoutUpgradePolicy(const ScopedLayoutUpgradePolicy&) = delete;
    ScopedLayoutUpgradePolicy& operator=(const ScopedLayoutUpgradePolicy&) = delete;

private:
    LayoutUpgradePolicy* previous_;
};

// Accepts every upgrade silently.
class SilentLayoutUpgrade : public LayoutUpgradePolicy {
public:
    bool Announce(const QString&) override { return true; }
    Progress& UpgradeProgress() override { return progress_; }

private:
    NoProgress progress_;
};

inline const QString kUpgradeAnnouncement =
    QStringLiteral("This database was made by an earlier version of LINEARA and will be upgraded.");

// The layout version kept in the file (SQLite's user_version).
int LayoutVersionOf(sqlite::Connection& connection);

// Brings the open file from `from_version` up to the current layout in one transaction: a
// failure (or a kill) at any point leaves the file exactly as it was. `fail` steps once per
// thousand dogs indexed, for tests. Throws sqlite::Error or InjectedFailure.
void UpgradeLayout(sqlite::Connection& connection, int from_version, Progress& progress,
                   FailAfter fail = FailAfter());

}  // namespace lineara
