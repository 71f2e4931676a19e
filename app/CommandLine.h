#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Exit statuses of the command line: a script can tell a bad command from an
// operation that failed.
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;

enum class TCommandForm {
    cfWindow, // no or one argument: the windowed start
    cfHelp,   // "--help" or "-h"
    cfSplit,  // "/split" file folder size
    cfUnite,  // "/unite" firstpiece folder
    cfVerify, // "/verify" firstpiece
};

// What the arguments ask for, before anything on disk has been looked at.
struct TCommandLineRequest {
    TCommandForm Form = TCommandForm::cfWindow;
    std::string FileName;            // the whole file ("/split") or the first piece ("/unite")
    std::string Folder;              // where the pieces or the whole file go
    int64_t Size = 0;                // block size in bytes ("/split")
    int64_t PieceCount = 0;          // "-n COUNT" in place of the size; 0 when not given
    bool Version100 = false;         // "ver100"
    bool DOSCompatible = false;      // "dos"
    bool WinSplitCompatible = false; // "wsp"
    bool MakeBAT = false;            // "bat"
    bool MakeSUB = false;            // "self"
    bool KeepOriginalExt = false;    // "keepext"
    bool DelAfterUnite = false;      // "del"
    bool NoChecksums = false;        // "nosum"
    bool WindowsStub = false;        // "stub=windows" (with "self"); "stub=linux" is the default
};

// A parsed command line: the request, or the usage error that stops it.
struct TCommandLineParse {
    TCommandLineRequest Request;
    std::string Error; // Ukrainian text; empty when the arguments are usable

    bool Ok() const { return Error.empty(); }
};

// Reads the arguments (without the program path). The form word is matched
// without regard to case; a switch is a known word after "-" or "/" anywhere on
// the line, also without regard to case. An unknown word after "-" is an error,
// while "/" followed by anything else is a path. "--" ends the switches.
TCommandLineParse ParseCommandLine(const std::vector<std::string>& arguments);

// Reads a block size: decimal digits only, no sign, blanks or thousands
// separators, and no larger than int64_t holds. False when the text is not such
// a number.
bool SizeFromText(const std::string& text, int64_t& size);

// Reads a block size as the command line takes it: a plain number as above,
// the word "floppy" (1,457,664 bytes), or a number with a decimal fraction
// followed by K, M, G (1024, 1024^2, 1024^3) or KB, MB, GB (1000, 1000^2,
// 1000^3), in any letter case; the product is rounded down to whole bytes.
// False for anything else, a fraction without a unit included.
bool BlockSizeFromText(const std::string& text, int64_t& size);

// The largest "-n" count: a signature stores the block count in 16 bits.
inline constexpr int64_t MaxPieceCount = 65535;
