#pragma once

#include "app/SettingsRecord.h"

#include <optional>

namespace lineara {

// Name style switches of one kind of name (champions or the others).
struct NameStyle {
    bool uppercase = false;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool use_colour = false;

    bool operator==(const NameStyle&) const = default;
};

// The working state of the View menu's check marks. During a run this, not the settings
// record, says how the chart looks; it is loaded from the settings when the main window
// opens and copied back just before the settings are written.
struct ViewState {
    bool american = false;              // title style: American (else Canadian)
    std::optional<int> num_gens;        // 2..6; empty when no generation item is checked
    NameStyle champ;
    NameStyle not_champ;
    int additional_info = 0;            // 0 none, 1 call name .. 8 inbreeding coefficient
    bool show_lines = true;
    std::optional<int> line_thickness;  // 1 narrow, 2 medium, 3 thick
    bool diagonal = true;
    bool line_use_colour = false;       // not kept in the settings: off at every start
    bool highlight_repeats = false;     // kept in the second settings file (ViewExtras)

    bool operator==(const ViewState&) const = default;

    // Number of generations for the chart: the checked item, or 0 when none is checked.
    int CurrentNumGens() const { return num_gens.value_or(0); }
    // Line width in pixels for the checked thickness (narrow 1, medium 3, thick 5).
    int LineWidth() const;
};

enum AdditionalInfo {
    kAddlNone = 0,
    kAddlCallName,
    kAddlDescription,
    kAddlCertifications,
    kAddlDOB,
    kAddlCKCID,
    kAddlAKCID,
    kAddlOtherID,
    kAddlIC,
};

ViewState ViewStateFromSettings(const SettingsRecord& settings);
// Copies the menu state back; a group with nothing checked leaves its field unchanged.
void StoreViewState(const ViewState& view, SettingsRecord& settings);

}  // namespace lineara
