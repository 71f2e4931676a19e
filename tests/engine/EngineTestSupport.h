#pragma once

#include "TempFolder.h"
#include "VarnSplit.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// Collects the engine's own messages instead of showing them.
class TRecordingReporter : public IEngineReporter {
public:
    void Report(TEngineMessage message, const std::string& path) override {
        messages.emplace_back(message, path);
    }
    std::vector<std::pair<TEngineMessage, std::string>> messages;
};

// One OnNeedDisk question as the engine asked it.
struct TNeedDiskCall {
    int32_t diskID;
    int32_t numOfDisks;
    std::string path;
    bool continueOnEntry;
};

// A handler that records every question and answers Continue = true at the
// offered path, as the command line does.
inline void AnswerEveryQuestion(TVarnSplit& engine, std::vector<TNeedDiskCall>& calls) {
    engine.OnNeedDisk = [&calls](TVarnSplit&, int32_t diskID, int32_t numOfDisks, std::string& path,
                                 bool& proceed) {
        calls.push_back({diskID, numOfDisks, path, proceed});
        proceed = true;
    };
}

// The names in a folder, sorted.
inline std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

inline std::vector<std::string> Names(std::initializer_list<const char*> names) {
    std::vector<std::string> sorted(names.begin(), names.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}
