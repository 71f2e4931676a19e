#pragma once

// Every section and value name of the settings store with the default a read
// falls back to, so that no caller spells a name or a default twice.
namespace SettingNames {

// --- section "MainWindow" ---
inline constexpr const char* SectionMainWindow = "MainWindow";
inline constexpr const char* Left = "Left";
inline constexpr int DefaultLeft = 191;
inline constexpr const char* Top = "Top";
inline constexpr int DefaultTop = 107;
inline constexpr const char* Height = "Height";
inline constexpr int DefaultHeight = 423;
inline constexpr const char* Width = "Width";
inline constexpr int DefaultWidth = 624;
inline constexpr const char* Maximized = "Maximized";
inline constexpr bool DefaultMaximized = false;
// 1 name, 2 type, 3 size, 4 date; any other stored number acts as 1.
inline constexpr const char* SortMode = "SortMode";
inline constexpr int DefaultSortMode = 1;
// Non-zero ascending, 0 descending.
inline constexpr const char* SortType = "SortType";
inline constexpr int DefaultSortType = 0;

// --- sections "SourceData" and "TargetData" ---
inline constexpr const char* SectionSourceData = "SourceData";
inline constexpr const char* SectionTargetData = "TargetData";
// Lines "description=path", each followed by CR LF, the last one included.
inline constexpr const char* Favorites = "Favorites";
inline constexpr const char* DefaultFavorites = "";

// --- section "Settings" ---
inline constexpr const char* SectionSettings = "Settings";
inline constexpr const char* ShowHiddenFiles = "ShowHiddenFiles";
inline constexpr bool DefaultShowHiddenFiles = true;
inline constexpr const char* ShowVirtualFolders = "ShowVirtualFolders";
inline constexpr bool DefaultShowVirtualFolders = false;
inline constexpr const char* HotTrack = "HotTrack";
inline constexpr bool DefaultHotTrack = false;
inline constexpr const char* FlatBtns = "FlatBtns";
inline constexpr bool DefaultFlatBtns = true;
inline constexpr const char* RestoreAssociations = "RestoreAssociations";
inline constexpr bool DefaultRestoreAssociations = true;
inline constexpr const char* DefaultBlockSize = "DefaultBlockSize";
inline constexpr int DefaultDefaultBlockSize = 1457664;
// The dialog and the split/unite commands fall back to different values.
inline constexpr const char* DefaultBufferSize = "DefaultBufferSize";
inline constexpr int DefaultBufferSizeInDialog = 102400;
inline constexpr int DefaultBufferSizeForCopy = 1457664;
inline constexpr const char* SplitMode = "SplitMode";
inline constexpr int DefaultSplitMode = 0;
inline constexpr const char* AskForEachDisk = "AskForEachDisk";
inline constexpr bool DefaultAskForEachDisk = false;
inline constexpr const char* KeepOriginalExt = "KeepOriginalExt";
inline constexpr bool DefaultKeepOriginalExt = false;
// A split also writes the SHA-256 checksum file of its set.
inline constexpr const char* MakeChecksums = "MakeChecksums";
inline constexpr bool DefaultMakeChecksums = true;
// Self-joining sets start on Windows (the Windows stub) instead of Linux.
inline constexpr const char* WindowsStub = "WindowsStub";
inline constexpr bool DefaultWindowsStub = false;
// Absent: the built-in filter list is used.
inline constexpr const char* FilterCount = "FilterCount";
// "Filter" + k (k = 1, 2, ...) holds "description|mask".
inline constexpr const char* FilterPrefix = "Filter";
inline constexpr const char* DefaultFilter = "Error|*.*";

} // namespace SettingNames
