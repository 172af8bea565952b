// The controls gallery: a dialog of the suite's buttons and statics over a textured background,
// run through the control library the demo host has loaded.
#pragma once

#include <windows.h>

#include <string>

namespace demo {

// Runs the gallery (dialog 2000 of the program) modally. With `ready` and `done` set, a short
// scripted session checks, picks and presses a few controls, rests the pointer on a bitmap
// button, creates the file `ready`, waits for `done` (at most a minute) and closes the dialog.
// Returns 0 when the dialog ran.
int RunControlsGallery(HMODULE controls, const std::string& ready, const std::string& done);

}  // namespace demo
