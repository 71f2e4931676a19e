#include "engine/BatchFile.h"

#include "engine/FileUtils.h"
#include "platform/FileAttributes.h"

namespace {

// The batch file runs under a DOS or Windows command interpreter.
constexpr const char* LineEnd = "\r\n";

// The pieces without folders, so that the batch file joins them in whatever
// folder they are gathered.
std::string PieceList(const TBatchFileFacts& facts) {
    const std::string lastPieceName = FileNamePart(facts.pathAfterLastPiece);
    std::string list;
    auto add = [&](const std::string& extension) {
        if (!list.empty())
            list += '+';
        list += ReplaceExtension(lastPieceName, extension);
    };
    if (facts.winSplitCompatible) {
        for (int64_t i = 1; i <= facts.blockCount; ++i)
            add("." + ZeroPad(i, 3));
    } else if (facts.dosCompatible) {
        add(".dos");
        for (int64_t i = 1; i <= facts.blockCount - 1; ++i)
            add("." + ZeroPad(i, 3));
    }
    return list;
}

// The "attrib" command's switches, in the order the command takes them.
std::string AttributeFlags(uint32_t attributes) {
    std::string flags;
    flags += (attributes & faReadOnly) ? "+R " : "-R ";
    flags += (attributes & faHidden) ? "+H " : "-H ";
    flags += (attributes & faSystem) ? "+S " : "-S ";
    flags += (attributes & faArchive) ? "+A " : "-A ";
    return flags;
}

} // namespace

std::optional<std::string> BatchFileText(const TBatchFileFacts& facts) {
    const std::string& name = facts.wholeFileName;
    std::string text;
    auto line = [&](const std::string& content) { text += content + LineEnd; };
    line("@cls");
    line("@echo.");
    line("@echo Batch file created by Varn split");
    line(std::string("@echo Web: ") + MakerWebAddress);
    line("@echo.");
    line("@echo Uniting file " + name + " from blocks");
    line("@echo Number of blocks: " + std::to_string(facts.blockCount));
    line("@echo Size of file: " + std::to_string(facts.wholeFileSize) + " bytes");
    line("@echo.");
    line("@pause");
    line("@copy /b " + PieceList(facts) + " " + name);
    if (facts.attributes != 0)
        line("@attrib " + AttributeFlags(facts.attributes) + name);
    return text;
}
