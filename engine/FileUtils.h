#pragma once

#include <cstdint>
#include <string>

// Path and text helpers shared by the engine, the command line and the window.
// Paths are POSIX: only "/" separates; ":" and "\" are ordinary characters.

// Appends "/" unless the text already ends with one; "" gives "/".
std::string AddTrailingSeparator(const std::string& folder);

// Replaces the extension of the last path element (from its last ".") with
// `newExtension`, or appends it when that element has no dot.
std::string ReplaceExtension(const std::string& fileName, const std::string& newExtension);

// The extension of the last path element with its dot; "" when it has none.
std::string ExtensionOf(const std::string& fileName);

// The text after the last "/".
std::string FileNamePart(const std::string& path);

// The text up to and including the last "/"; "" when there is none.
std::string FolderPart(const std::string& path);

// Decimal digits of `number`, padded on the left with "0" to `width`; longer
// numbers stay whole (1000 at width 3 is "1000").
std::string ZeroPad(int64_t number, int width);

// Removes every leading and trailing character whose code is below 33.
std::string TrimControl(const std::string& text);

// Removes the locale's thousands separator ("," when the locale names none)
// and then every blank, including the no-break spaces that some locales group
// digits with, so that "1 457 664" and "1,457,664" both give "1457664".
std::string StripGrouping(const std::string& numberText);
// The same with an explicit separator, for callers and tests that know it.
std::string StripGrouping(const std::string& numberText, const std::string& separator);

// Size in bytes of the file at `path`; 0 when nothing is there or the path is empty.
int64_t FileSizeOf(const std::string& path);

// The three time stamps of `path` as packed DOS date-times. False when nothing
// is there; true with the outputs untouched when it is a folder.
bool FileDosTimes(const std::string& path, uint32_t& creation, uint32_t& lastAccess,
                  uint32_t& lastWrite);

// " R", " H", " A", " S" for the read-only, hidden, archive and system bits, in
// that order; "" when none is set.
std::string AttributeLetters(uint32_t attributes);

// Deletes the file at `path`; throws EEngineError (efDeleteFailed) when a file
// there cannot be deleted. A path where nothing exists is no failure.
void EraseExisting(const std::string& path);

// True when something exists at `path` (a broken symbolic link counts).
bool PathExists(const std::string& path);

// Opens `path` for reading only when it is a regular file: a FIFO or device
// named like a piece would block the reader or never end. Returns the
// descriptor, or -1 with errno set (EINVAL for a file that is not regular).
int OpenRegularFile(const std::string& path);
