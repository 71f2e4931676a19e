#pragma once

#include <functional>

// Runs the Qt event loop in short slices until `done` holds or `limitMs`
// passes; true when `done` held. Widget tests wait on hand-overs from other
// threads this way instead of sleeping for a fixed time.
bool WaitUntil(const std::function<bool()>& done, int limitMs = 20000, int sliceMs = 5);
