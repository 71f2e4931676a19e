#include "engine/SetNames.h"

#include "engine/FileUtils.h"

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
