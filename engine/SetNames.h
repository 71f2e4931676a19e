#pragma once

// Plain standard C++ and POSIX only: the self-joining stub compiles this file.

#include <cstdint>
#include <optional>
#include <string>

// How the files of a set are named and where the stub is found: one rule each,
// shared by the command line, the window and the stub.

// The stub lies beside the program under this name. A file shorter than
// MinimumStubSize, or one that holds no program image, is taken as damaged.
inline constexpr const char* StubName = "varnstub.exe";
inline constexpr int64_t MinimumStubSize = 88000;

enum class TStubState { ssFound, ssMissing, ssDamaged };

struct TStubLookup {
    std::string path;
    TStubState state = TStubState::ssMissing;
    int64_t size = 0; // the file's size when it is found
};

// Looks for the stub in `programFolder`.
TStubLookup FindStub(const std::string& programFolder);

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
