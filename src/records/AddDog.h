#pragma once

#include "app/AppState.h"
#include "app/Prompts.h"
#include "store/RecordStore.h"

#include <functional>

namespace lineara {

// Opens the dog editor on state.SelectedDogID, with or without its Cancel button, and returns
// when the user has closed it. The editor may leave another dog (or 0) in SelectedDogID.
using OpenDogEditor = std::function<void(bool cancel_visible)>;

// Adds a dog: creates an empty record (a male one when SexHint is 1), lets the user fill it
// in the editor and discards it again when it was left without a registered name. The new
// DogID, or 0 when no dog was added, is left in state.SelectedDogID.
void AddDog(RecordStore& cursor, AppState& state, Prompts& prompts, const OpenDogEditor& open_editor);

}  // namespace lineara
