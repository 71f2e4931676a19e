#pragma once

// Gives every test process the same surroundings however it is started (by
// CTest or by hand): VARN_BIN_DIR (where varnsplit and varnstub.exe lie),
// VARN_SOURCE_DIR and QT_QPA_PLATFORM=offscreen, unless already set.
void InstallTestEnvironment();
