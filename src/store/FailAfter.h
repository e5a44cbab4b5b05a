#pragma once

#include <QtGlobal>

#include <stdexcept>

namespace lineara {

// The failure a FailAfter raises.
class InjectedFailure : public std::runtime_error {
public:
    InjectedFailure() : std::runtime_error("injected failure") {}
};

// Test seam of the commands that change many records: the command calls Step() once per
// record it writes, and a FailAfter made with k throws InjectedFailure at the k-th step, so a
// test can prove that a failure part-way leaves the database as it was. The default one never
// fails.
class FailAfter {
public:
    FailAfter() = default;
    explicit FailAfter(qint64 k) : remaining_(k) {}

    void Step() {
        if (remaining_ > 0 && --remaining_ == 0) {
            throw InjectedFailure();
        }
    }

private:
    qint64 remaining_ = 0;
};

}  // namespace lineara
