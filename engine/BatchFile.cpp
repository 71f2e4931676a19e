#include "engine/BatchFile.h"

#include "engine/FileUtils.h"
#include "platform/FileAttributes.h"

#include <string_view>
#include <vector>

namespace {

// The batch file runs under a DOS or Windows command interpreter.
constexpr const char* LineEnd = "\r\n";

// No Windows file name holds these, so a set named with them could not be
// gathered there anyway; several would also redirect, pipe or end a quoted
// name early, which no escaping undoes inside a "copy" operand.
constexpr std::string_view ForbiddenCharacters = "\"*?:\\<>|";

// Outside double quotes cmd splits arguments at blanks, ";", "," and "=", copy
// joins files at "+", and "&", "(", ")" and "^" start, group or escape
// commands. "%" is expanded even inside quotes, so it is doubled as well; the
// quotes only keep such a name one operand. "!" matters solely with delayed
// expansion, which is off unless the user turned it on, and quotes would not
// shield it anyway.
constexpr std::string_view QuotedCharacters = " &()^;,=+%";

// Names Windows resolves to a device whatever the extension: the batch file
// would read the console or throw the whole file away instead of copying.
bool IsDeviceName(const std::string& name) {
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    for (char& c : base)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" ||
        base == "CONOUT$")
        return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
           base[3] >= '1' && base[3] <= '9';
}

// Besides the characters above: Windows drops a trailing dot or blank, so
// "copy" would write a name other than the one the user split.
bool CanBeWritten(const std::string& name) {
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || ForbiddenCharacters.find(c) != std::string_view::npos)
            return false;
    }
    if (!name.empty() && (name.back() == '.' || name.back() == ' '))
        return false;
    return !IsDeviceName(name);
}

std::string Operand(const std::string& name) {
    if (name.find_first_of(QuotedCharacters) == std::string::npos)
        return name;
    std::string quoted = "\"";
    for (const char c : name) {
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    return quoted + '"';
}

// "attrib" takes any argument opening with "+" or "-" for a switch, quoted or
// not, and with no file left it changes every file in the folder.
std::string AttribOperand(const std::string& name) {
    if (name.starts_with('+') || name.starts_with('-'))
        return Operand(".\\" + name);
    return Operand(name);
}

// Echo prints the rest of the line, so only what would end the command or
// vanish in parsing is escaped.
std::string EchoText(const std::string& name) {
    std::string text;
    for (const char c : name) {
        if (c == '%')
            text += '%';
        else if (std::string_view("&|<>^()").find(c) != std::string_view::npos)
            text += '^';
        text += c;
    }
    return text;
}

// The pieces without folders, so that the batch file joins them in whatever
// folder they are gathered.
std::vector<std::string> PieceNames(const TBatchFileFacts& facts) {
    const std::string lastPieceName = FileNamePart(facts.pathAfterLastPiece);
    std::vector<std::string> names;
    auto add = [&](const std::string& extension) {
        names.push_back(ReplaceExtension(lastPieceName, extension));
    };
    if (facts.winSplitCompatible) {
        for (int64_t i = 1; i <= facts.blockCount; ++i)
            add("." + ZeroPad(i, 3));
    } else if (facts.dosCompatible) {
        add(".dos");
        for (int64_t i = 1; i <= facts.blockCount - 1; ++i)
            add("." + ZeroPad(i, 3));
    }
    return names;
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
    if (!CanBeWritten(name))
        return std::nullopt;
    std::string pieceList;
    for (const std::string& piece : PieceNames(facts)) {
        if (!CanBeWritten(piece))
            return std::nullopt;
        if (!pieceList.empty())
            pieceList += '+';
        // Each operand is quoted on its own: a "+" inside quotes is part of
        // the name, between them it joins the next piece.
        pieceList += Operand(piece);
    }

    std::string text;
    auto line = [&](const std::string& content) { text += content + LineEnd; };
    line("@cls");
    line("@echo.");
    line("@echo Batch file created by Varn split");
    line(std::string("@echo Web: ") + MakerWebAddress);
    line("@echo.");
    line("@echo Uniting file " + EchoText(name) + " from blocks");
    line("@echo Number of blocks: " + std::to_string(facts.blockCount));
    line("@echo Size of file: " + std::to_string(facts.wholeFileSize) + " bytes");
    line("@echo.");
    line("@pause");
    line("@copy /b " + pieceList + " " + Operand(name));
    if (facts.attributes != 0)
        line("@attrib " + AttributeFlags(facts.attributes) + AttribOperand(name));
    return text;
}
