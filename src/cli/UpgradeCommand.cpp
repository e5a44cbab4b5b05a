#include "cli/CliCommand.h"

#include "store/DogDatabase.h"
#include "store/LayoutUpgrade.h"
#include "store/StoreError.h"

namespace lineara::cli {

namespace {

// Tells on standard error how far the upgrade has got, in tenths.
class UpgradeReport : public LayoutUpgradePolicy, private Progress {
public:
    explicit UpgradeReport(Streams& io) : io_(io) {}

    bool Announce(const QString&) override {
        announced_ = true;
        return true;
    }
    Progress& UpgradeProgress() override { return *this; }
    bool Announced() const { return announced_; }

private:
    void SetText(const QString& text) override { io_.err << text << "\n" << Qt::flush; }
    void SetFraction(double fraction) override {
        const int tenth = static_cast<int>(fraction * 10);
        if (tenth > reported_) {
            reported_ = tenth;
            io_.err << tenth * 10 << "%\n" << Qt::flush;
        }
    }

    Streams& io_;
    bool announced_ = false;
    int reported_ = 0;
};

}  // namespace

int RunUpgrade(const QStringList& args, Streams& io) {
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        io.err << "usage: lineara-cli upgrade FILE\n";
        return kExitUsage;
    }
    UpgradeReport report(io);
    ScopedLayoutUpgradePolicy policy(&report);
    try {
        DogDatabase::Open(args.first());
    } catch (const StoreError& error) {
        io.err << "lineara-cli: " << error.File() << ": " << error.Reason() << "\n";
        return kExitUsage;
    }
    if (report.Announced()) {
        io.out << "Upgraded " << args.first() << " to the current layout.\n";
    } else {
        io.out << args.first() << " already has the current layout.\n";
    }
    return kExitOk;
}

}  // namespace lineara::cli
