#pragma once

#include <QString>

namespace lineara {

// How a long command (merge, clean-up, imports, computing coefficients) tells the user how far
// it has got: a text for a label and a fraction for a bar. Core code reports through this;
// the dialog running the command turns it into its controls and repaints them, so core code
// never touches a widget.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void SetText(const QString& text) = 0;
    // 0 to 1.
    virtual void SetFraction(double fraction) = 0;
    // True once the user has asked to stop; commands that may be cancelled check it between
    // records and then undo everything they did.
    virtual bool CancelRequested() const { return false; }
};

// For callers that show nothing (the command line, tests).
class NoProgress : public Progress {
public:
    void SetText(const QString&) override {}
    void SetFraction(double) override {}
};

}  // namespace lineara
