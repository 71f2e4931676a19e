#include "engine/SetNames.h"

#include "engine/FileUtils.h"
#include "engine/SelfJoin.h"

#include <sys/stat.h>

TStubLookup FindStub(const std::string& programFolder) {
    TStubLookup stub;
    stub.path = AddTrailingSeparator(programFolder) + StubName;
    struct stat info {};
    if (stat(stub.path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return stub;
    stub.size = static_cast<int64_t>(info.st_size);
    stub.state = stub.size < MinimumStubSize || StubLengthOf(stub.path) <= 0 ? TStubState::ssDamaged
                                                                             : TStubState::ssFound;
    return stub;
}

std::string FirstPiecePath(const std::string& folder, const std::string& wholeFilePath,
                           const std::string& firstPieceExtension, bool keepOriginalExt) {
    const std::string name = FileNamePart(wholeFilePath);
    const std::string piece =
        keepOriginalExt ? name + firstPieceExtension : ReplaceExtension(name, firstPieceExtension);
    return folder.empty() ? piece : AddTrailingSeparator(folder) + piece;
}

std::optional<std::string> WholeFilePathFor(const std::string& piecePath,
                                            const std::string& extension, bool keepOriginalExt) {
    if (extension.find_first_of(std::string("/\0", 2)) != std::string::npos)
        return std::nullopt;
    const std::string path = ReplaceExtension(piecePath, keepOriginalExt ? "" : extension);
    const std::string name = FileNamePart(path);
    if (name.empty() || name == "." || name == "..")
        return std::nullopt;
    return path;
}
