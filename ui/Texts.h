#pragma once

// Every text the program shows a user, in Ukrainian (the engine's own three
// messages keep their designed wording). Code refers to these by name only.
// Each area keeps its texts in its own section below.
namespace Texts {

// --- captions ---
inline constexpr const char* AppTitle = "Varn split";
inline constexpr const char* CaptionError = "Помилка";
inline constexpr const char* CaptionAttention = "Увага";
inline constexpr const char* CaptionInformation = "Інформація";

// --- engine messages ---
inline constexpr const char* EngineInputFileMissing = "Input file '%s' does not exist.";
inline constexpr const char* EnginePieceFileMissing = "Зазначений файл %s не існує.";
inline constexpr const char* EngineUnknownSignature =
    "Це видання Varn split підтримує тільки підписи версій 1.0 і 1.1.";

// --- engine faults and command line ---

// --- stub ---

// --- settings, file types and filters ---

// --- shell tree and item menu ---

// --- widgets ---

} // namespace Texts
