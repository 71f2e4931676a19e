#include "engine/VarnSplit.h"

#include "engine/FileDescriptor.h"
#include "engine/FileUtils.h"
#include "engine/InfoFile.h"
#include "engine/SignatureFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>

namespace {

// An information file is three short lines; anything much larger is not one.
constexpr std::size_t InfoFileReadLimit = 64 * 1024;

} // namespace

void TVarnSplit::ReadSignature(const std::string& fileName) {
    ResetInspection();
    if (IsInfoFileName(fileName)) {
        const std::optional<TInfoFile> info =
            ParseInfoFileText(ReadSmallFile(fileName, InfoFileReadLimit));
        if (!info) // an information file without a single line tells nothing
            throw EEngineError(TEngineFault::efReadFailed, fileName, ENODATA);
        m_winSplitCompatible = true;
        m_originalExt = "." + info->extension;
        m_blockCount = info->blockCount;
        m_originalSizeKnown = info->wholeFileSize.has_value();
        m_originalSize = info->wholeFileSize.value_or(0);
        return;
    }
    TFileDescriptor file(OpenRegularFile(fileName));
    if (!file.IsOpen())
        throw EEngineError(TEngineFault::efOpenFailed, fileName, errno);
    // A cut-off signature says nothing reliable, so it reads as no signature.
    if (const std::optional<TSignature> signature =
            ReadSignatureAt(file.Get(), std::max<int64_t>(m_stubSize, 0), fileName))
        TakeSignature(*signature);
}
