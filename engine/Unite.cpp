#include "VarnSplit.h"

#include "FileAttributes.h"
#include "FileCopier.h"
#include "FileDescriptor.h"
#include "FileTimes.h"
#include "FileUtils.h"
#include "InfoFile.h"
#include "SignatureFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace {

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The whole file while it is being rebuilt: a hidden temporary file beside the
// output, renamed over the output only when the join succeeded, so a failed or
// stopped join neither destroys an existing file of that name nor leaves a
// half-written one behind.
class TTemporaryOutput {
public:
    explicit TTemporaryOutput(const std::string& finalPath) : m_finalPath(finalPath) {
        const std::string folder = FolderPart(finalPath);
        // The name is cut so that the temporary name stays within NAME_MAX.
        std::string pattern =
            folder + "." + FileNamePart(finalPath).substr(0, 200) + ".varn-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        m_fd.Reset(mkostemp(name.data(), O_CLOEXEC));
        if (!m_fd.IsOpen())
            throw EEngineError(TEngineFault::efCreateFailed, finalPath, errno);
        m_path = name.data();
        // mkstemp makes the file private; the result gets the permissions a
        // newly created file would.
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(m_fd.Get(), 0666 & ~mask);
    }
    ~TTemporaryOutput() {
        if (!m_placed) {
            m_fd.Reset();
            unlink(m_path.c_str());
        }
    }
    TTemporaryOutput(const TTemporaryOutput&) = delete;
    TTemporaryOutput& operator=(const TTemporaryOutput&) = delete;

    int Fd() const { return m_fd.Get(); }
    const std::string& Path() const { return m_path; }

    void Place() {
        if (const int error = m_fd.Close())
            throw EEngineError(TEngineFault::efWriteFailed, m_finalPath, error);
        if (rename(m_path.c_str(), m_finalPath.c_str()) != 0)
            throw EEngineError(TEngineFault::efRenameFailed, m_finalPath, errno);
        m_placed = true;
    }

private:
    std::string m_finalPath;
    std::string m_path;
    TFileDescriptor m_fd;
    bool m_placed = false;
};

} // namespace

void TVarnSplit::Unite() {
    m_stop = false;
    m_completed = false;

    if (!IsRegularFile(m_splitFileName)) {
        Report(TEngineMessage::emPieceFileMissing, m_splitFileName);
        return;
    }
    if (m_bufferSize < 1)
        throw EEngineError(TEngineFault::efBadBufferSize, m_splitFileName);
    if (m_fileName.empty()) {
        // The extension comes from the piece itself; a "/" in it would put the
        // whole file into another folder.
        if (m_originalExt.find_first_of(std::string("/\0", 2)) != std::string::npos)
            throw EEngineError(TEngineFault::efUnsafeExtension, m_splitFileName);
        m_fileName = ReplaceExtension(m_splitFileName, m_originalExt);
    }
    const bool fromInfoFile = IsInfoFileName(m_splitFileName);
    if (fromInfoFile) {
        ReadSignature(m_splitFileName);
        m_winSplitCompatible = true;
    }
    const bool winSplit = m_winSplitCompatible;

    // An existing output that is one of the pieces would be replaced by the
    // rename (and deleted with DelAfterUnite), so the join is refused.
    struct stat outputInfo {};
    const bool outputExists = stat(m_fileName.c_str(), &outputInfo) == 0;
    const auto refuseIfOutput = [&](int pieceFd, const std::string& piecePath) {
        struct stat pieceInfo {};
        if (outputExists && fstat(pieceFd, &pieceInfo) == 0 &&
            pieceInfo.st_dev == outputInfo.st_dev && pieceInfo.st_ino == outputInfo.st_ino)
            throw EEngineError(TEngineFault::efSameAsSource, piecePath);
    };
    if (outputExists) {
        TFileDescriptor first(open(m_splitFileName.c_str(), O_RDONLY | O_CLOEXEC));
        if (first.IsOpen())
            refuseIfOutput(first.Get(), m_splitFileName);
    }

    TTemporaryOutput output(m_fileName);
    TFileCopier copier(m_bufferSize);
    std::optional<int64_t> expected;
    // Only an information file read just now says how large a plain set is;
    // fields left from an earlier inspection may describe another file.
    if (fromInfoFile && m_originalSizeKnown)
        expected = m_originalSize;
    uint16_t storedBlocks = 0;
    bool read110 = false;
    int64_t joined = 0;
    int64_t k = 0;
    bool proceed = true;
    std::string path = winSplit ? ReplaceExtension(m_splitFileName, ".001") : m_splitFileName;
    std::vector<std::string> joinedPieces;
    while (true) {
        // Once the stored size is reached the set is whole; a stray later piece
        // from another split is not appended.
        if (expected && joined >= *expected)
            break;
        const int32_t numOfDisks =
            winSplit ? static_cast<int32_t>(std::clamp<int64_t>(m_blockCount, 0, INT32_MAX))
                     : storedBlocks;
        if (OnNeedDisk)
            OnNeedDisk(*this, static_cast<int32_t>(std::min<int64_t>(k + 1, INT32_MAX)), numOfDisks,
                       path, proceed);
        if (!proceed || m_stop)
            return; // the temporary output goes; nothing was joined
        if (!IsRegularFile(path))
            break; // the end of a set of unknown size, or a missing piece

        TFileDescriptor piece(open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!piece.IsOpen())
            throw EEngineError(TEngineFault::efOpenFailed, path, errno);
        refuseIfOutput(piece.Get(), path);
        struct stat pieceInfo {};
        if (fstat(piece.Get(), &pieceInfo) != 0)
            throw EEngineError(TEngineFault::efReadFailed, path, errno);
        const int64_t pieceSize = static_cast<int64_t>(pieceInfo.st_size);
        int64_t offset = 0;
        if (k == 0 && !winSplit) {
            const int64_t stubSize = std::max<int64_t>(m_stubSize, 0);
            const std::optional<TSignature> signature =
                ReadSignatureAt(piece.Get(), stubSize, path);
            if (!signature) {
                Report(TEngineMessage::emUnknownSignature, m_splitFileName);
                return;
            }
            TakeSignature(*signature);
            read110 = signature->version == TSignatureVersion::sv110;
            storedBlocks = signature->blockCount;
            offset = stubSize + static_cast<int64_t>(EncodedSignatureLength(*signature));
            if (m_originalSizeKnown)
                expected = m_originalSize;
        }
        const int64_t available = std::max<int64_t>(pieceSize - offset, 0);
        const int64_t wanted = expected ? std::min(available, *expected - joined) : available;
        int64_t copied = 0;
        while (copied < wanted) {
            if (m_stop)
                return;
            const int64_t chunk = std::min(m_bufferSize, wanted - copied);
            const int64_t got =
                copier.Copy(piece.Get(), offset, path, output.Fd(), m_fileName, chunk);
            copied += got;
            joined += got;
            RaiseProgress(copied, pieceSize);
            if (got < chunk)
                break; // the piece is shorter than it was a moment ago
        }
        joinedPieces.push_back(path);
        ++k;
        path = NextPiecePath(path, k, winSplit);
    }
    // Short of the stored size, or not a single piece found: the join failed,
    // naming the piece that was looked for last.
    if ((expected && joined < *expected) || (!expected && k == 0))
        throw EEngineError(TEngineFault::efIncompleteSet, path);

    // Times and attributes are restored as far as the system allows; a refusal
    // leaves a complete file, so it is not treated as a failed join.
    if (read110)
        ApplyFileDosTimes(output.Fd(), m_lastAccessTime, m_lastWriteTime);
    output.Place();
    if (read110)
        ApplyFileAttributes(m_fileName, m_attributes);
    if (m_delAfterUnite) {
        // Only now that the whole file is in place may its pieces go; a piece
        // that cannot be deleted is left, as the design ignores the result.
        for (const std::string& joinedPiece : joinedPieces)
            unlink(joinedPiece.c_str());
    }
    m_completed = true;
}
