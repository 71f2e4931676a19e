#pragma once

#include <functional>

// Runs the Qt event loop in short slices until `done` holds (true) or `limitMs`
// passes (false), so that widget tests never sleep for a fixed time.
bool WaitUntil(const std::function<bool()>& done, int limitMs = 20000, int sliceMs = 5);
