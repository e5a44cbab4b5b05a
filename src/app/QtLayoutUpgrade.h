#pragma once

#include "app/Prompts.h"
#include "store/LayoutUpgrade.h"

#include <memory>

class QProgressDialog;

namespace lineara {

// How the program upgrades a file of an earlier layout as it opens it: it says so once, then
// shows the upgrade's progress in a small window of its own.
class QtLayoutUpgrade : public LayoutUpgradePolicy, private Progress {
public:
    explicit QtLayoutUpgrade(Prompts& prompts);
    ~QtLayoutUpgrade() override;

    bool Announce(const QString& path) override;
    Progress& UpgradeProgress() override { return *this; }
    void Done() override;

private:
    void SetText(const QString& text) override;
    void SetFraction(double fraction) override;

    Prompts& prompts_;
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace lineara
