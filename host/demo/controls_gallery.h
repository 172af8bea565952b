// The controls gallery: a tabbed dialog of the suite's buttons, statics, input fields and combo
// box over a textured background, with four tab pages, run through the control library the demo
// host has loaded.
#pragma once

#include <windows.h>

#include <string>

namespace demo {

// A scripted session: it checks, picks and presses controls, rests the pointer on a bitmap
// button, types into every field, opens the combo's list and sizes the dialog, then closes it.
// At each screenshot it writes the shot's name into the file `ready` and waits for `done` (at
// most a minute). A quick session runs the same steps without pauses or screenshots.
struct GalleryScript {
  std::string ready, done;
  bool quick = false;
  bool keyboard = true;  // the mini keyboard opened and closed under a field
};

// Runs the gallery (dialog 2000 of the program) modally, for the user when `script` is null.
// Returns 0 when the dialog ran.
int RunControlsGallery(HMODULE controls, const GalleryScript* script);

}  // namespace demo
