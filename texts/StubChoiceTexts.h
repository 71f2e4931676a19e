#pragma once

// The window's choice of the system a self-joining set starts on.
namespace Texts {

inline constexpr const char* WindowsStubChoice = "Самозбірна частина для Windows";
inline constexpr const char* WindowsStubMissing = "Заглушку для Windows не встановлено.";

} // namespace Texts
