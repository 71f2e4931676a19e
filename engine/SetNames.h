#pragma once

// Plain standard C++ only: both self-joining stubs compile SetNames.cpp.

#include <cstdint>
#include <optional>
#include <string>

// How the files of a set are named and where the stub is found: one rule each,
// shared by the command line, the window and the stub.

// The stubs lie under these names beside the program (in the build tree) or
// in the installed program's private library folder, InstalledStubFolder in
// the folder above the program's (/usr/bin/varnsplit, /usr/lib/varnsplit/). A file shorter than
// MinimumStubSize, or one that holds no program image of its kind, is taken as damaged.
inline constexpr const char* StubName = "varnstub.exe";
inline constexpr const char* WindowsStubName = "varnstub-win32.exe";
inline constexpr const char* InstalledStubFolder = "lib/varnsplit";
inline constexpr int64_t MinimumStubSize = 88000;

// Which system the first piece of a self-joining set runs on.
enum class TStubKind { skLinux, skWindows };

enum class TStubState { ssFound, ssMissing, ssDamaged };

struct TStubLookup {
    std::string path;
    TStubState state = TStubState::ssMissing;
    int64_t size = 0; // the file's size when it is found
};

// Looks for the stub of `kind` beside the program in `programFolder`, then in
// its private library folder. When neither holds one, `path` names the place
// it belongs: the library folder when that exists, else beside the program.
TStubLookup FindStub(const std::string& programFolder, TStubKind kind = TStubKind::skLinux);

// The first piece's path for the whole file `wholeFilePath` in `folder` ("" for
// the current folder): the
// file's name with its extension replaced by `firstPieceExtension` (".vrn",
// ".dos", ".001", ".exe"), or with the extension kept and the piece's added
// (report.doc.vrn).
std::string FirstPiecePath(const std::string& folder, const std::string& wholeFilePath,
                           const std::string& firstPieceExtension, bool keepOriginalExt);

// The whole file's path that a set's first piece at `piecePath` rebuilds: the
// piece's extension replaced by the stored `extension` (with its dot), or just
// removed when the pieces were named with the whole name kept. Nothing
// (nullopt) when the stored extension holds "/" or NUL, which would put the
// file elsewhere, or when no usable name is left.
std::optional<std::string> WholeFilePathFor(const std::string& piecePath,
                                            const std::string& extension, bool keepOriginalExt);
