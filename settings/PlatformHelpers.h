#pragma once

#include <stdexcept>
#include <string>

// A folder that could not be created; the text names it and the system's
// reason and is meant for the user.
class EFolderError : public std::runtime_error {
public:
    explicit EFolderError(const std::string& message);
};

// The dialogs' Windows version code (11, Windows XP, picks the XP variants of
// their icons). Always 0 (unknown) here: there is no Windows version to report.
int GetWindowsVersion();
// Bits per pixel of the primary screen; 0 when there is no screen to ask
// (no application object, or a platform without screens).
int GetColorDepth();

// True when the path names an existing folder (a link to one counts).
bool FolderExists(const std::string& path);
// Creates the folder and every missing folder above it. Throws EFolderError
// naming the folder that could not be made, e.g. when a file is in the way.
void ForceFolders(const std::string& path);
