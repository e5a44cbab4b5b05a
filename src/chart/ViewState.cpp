#include "chart/ViewState.h"

namespace lineara {

namespace {

NameStyle StyleFrom(qint16 uppercase, qint16 bold, qint16 italic, qint16 underline, qint16 colour) {
    return {uppercase != 0, bold != 0, italic != 0, underline != 0, colour != 0};
}

qint16 YesNo(bool value) { return value ? -1 : 0; }

}  // namespace

int ViewState::LineWidth() const {
    switch (line_thickness.value_or(1)) {
        case 2:
            return 3;
        case 3:
            return 5;
        default:
            return 1;
    }
}

ViewState ViewStateFromSettings(const SettingsRecord& s) {
    ViewState view;
    view.american = s.Country == 0;
    if (s.NumGens >= 2 && s.NumGens <= 6) {
        view.num_gens = s.NumGens;
    }
    view.champ = StyleFrom(s.ChampUppercase, s.ChampBold, s.ChampItalic, s.ChampUnderline, s.ChampUseColour);
    view.not_champ =
        StyleFrom(s.NotChUppercase, s.NotChBold, s.NotChItalic, s.NotChUnderline, s.NotChUseColour);
    view.show_lines = s.ShowLines != 0;
    view.diagonal = s.LineDiagonal != 0;
    if (s.LineThickness >= 1 && s.LineThickness <= 3) {
        view.line_thickness = s.LineThickness;
    }
    view.additional_info = (s.AdditionalInfo >= 1 && s.AdditionalInfo <= 8) ? int{s.AdditionalInfo} : int{kAddlNone};
    view.line_use_colour = false;
    return view;
}

void StoreViewState(const ViewState& view, SettingsRecord& s) {
    s.Country = view.american ? 0 : 1;
    if (view.num_gens) {
        s.NumGens = static_cast<qint16>(*view.num_gens);
    }
    s.ChampUppercase = YesNo(view.champ.uppercase);
    s.ChampBold = YesNo(view.champ.bold);
    s.ChampItalic = YesNo(view.champ.italic);
    s.ChampUnderline = YesNo(view.champ.underline);
    s.ChampUseColour = YesNo(view.champ.use_colour);
    s.NotChUppercase = YesNo(view.not_champ.uppercase);
    s.NotChBold = YesNo(view.not_champ.bold);
    s.NotChItalic = YesNo(view.not_champ.italic);
    s.NotChUnderline = YesNo(view.not_champ.underline);
    s.NotChUseColour = YesNo(view.not_champ.use_colour);
    s.ShowLines = YesNo(view.show_lines);
    s.LineDiagonal = YesNo(view.diagonal);
    if (view.line_thickness) {
        s.LineThickness = static_cast<qint16>(*view.line_thickness);
    }
    s.AdditionalInfo = static_cast<qint16>(view.additional_info);
}

}  // namespace lineara
