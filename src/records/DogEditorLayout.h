#pragma once

#include "store/DogSchema.h"

#include <QString>

#include <optional>
#include <vector>

namespace lineara {

// What the dog editor shows on each of its tabs, in reading order: the controls, their
// captions and the fields they are bound to. The form builds itself from this table.
struct EditorControl {
    enum class Kind {
        Text,     // one-line text box with its label
        Memo,     // several-line text box with its label
        Check,    // check box bound to a Yes/No field
        Heading,  // starts a titled frame; the controls up to the next heading go into it
        Note,     // an explanatory line under the previous control
    };
    Kind kind;
    const char* name;     // object name of the control
    const char* caption;  // label or check-box caption, exactly as shown
    std::optional<Field> field;
    const char* tool_tip = nullptr;
};

struct EditorTab {
    const char* title;
    std::vector<EditorControl> controls;
};

// The seven tabs: General, Conformation, Obedience, Flyball, Herding, Agility, Other.
const std::vector<EditorTab>& DogEditorTabs();

}  // namespace lineara
