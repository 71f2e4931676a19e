#pragma once

#include "engine/EngineErrors.h"
#include "engine/SetCheck.h"
#include "texts/TextFormat.h"

#include <string>

// Turns what the engine reports (its own three messages and its faults) into the
// Ukrainian texts a user reads, so that the command line and the window say the
// same thing about the same failure.

// The text of one of the engine's own messages about the file at `path`.
std::string EngineMessageText(TEngineMessage message, const std::string& path);

// The text of an engine fault: what failed, the file concerned and, when the
// system gave one, its reason.
std::string EngineFaultText(const EEngineError& error);

// The system's reason for an errno value, as one short phrase.
std::string SystemErrorText(int systemError);

// A verify's line for one piece: its path and what was found.
std::string PieceCheckText(const TPieceCheck& piece);

// A verify's closing lines: the counts, whether checksums were available and
// the verdict, each line ended by LF.
std::string SetCheckSummaryText(const TSetCheck& check);
