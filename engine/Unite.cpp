#include "engine/VarnSplit.h"

#include "engine/AtomicFile.h"
#include "engine/ChecksumFile.h"
#include "engine/ChecksumPipeline.h"
#include "engine/FileCopier.h"
#include "engine/FileDescriptor.h"
#include "engine/FileUtils.h"
#include "engine/InfoFile.h"
#include "engine/SetLayout.h"
#include "engine/SetNames.h"
#include "engine/SignatureFile.h"
#include "platform/FileAttributes.h"
#include "platform/FileTimes.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace {

// The batch file a split writes starts with these lines; only such a file is
// deleted with the pieces, never a user's own file of that name.
constexpr const char* OwnBatchFileStart =
    "@cls\r\n@echo.\r\n@echo Batch file created by Varn split\r\n";
constexpr std::size_t SmallFileLimit = 64 * 1024;

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A piece that is not there: nothing at the name, or something that is no
// regular file (a FIFO or device would block or never end).
bool MeansMissing(int error) {
    return error == ENOENT || error == ENOTDIR || error == EINVAL;
}

bool IsOwnBatchFile(const std::string& path) {
    const std::string start = OwnBatchFileStart;
    return IsRegularFile(path) && ReadSmallFile(path, start.size()) == start;
}

bool IsInfoFileOfSize(const std::string& path, int64_t wholeSize) {
    if (!IsRegularFile(path))
        return false;
    const std::optional<TInfoFile> info = ParseInfoFileText(ReadSmallFile(path, SmallFileLimit));
    return info && info->wholeFileSize == wholeSize;
}

void RequireSize(const std::string& path, int64_t actual, int64_t expected) {
    if (actual != expected)
        throw EEngineError::WrongSize(path, actual, expected);
}

// Where the pieces of the join being read stand against the set's layout.
struct TJoinState {
    std::optional<TSetLayout> layout;
    bool ended = false; // a set of unknown size met its short last piece
};

// Checks a piece's size where the set's layout is known, before any of its
// bytes are joined; returns how many of its bytes are data.
int64_t CheckedDataLength(const TJoinState& state, int64_t pieceNumber, const std::string& path,
                          int64_t pieceSize, int64_t offset) {
    const TSetLayout& layout = *state.layout;
    if (layout.SizeKnown())
        RequireSize(path, pieceSize, layout.ExpectedPieceSize(pieceNumber));
    return pieceSize - offset;
}

} // namespace

void TVarnSplit::Unite() {
    m_stop = false;
    m_completed = false;
    m_undeletedFiles.clear();
    m_checksumCheck = TChecksumCheck::ccNone;

    if (!IsRegularFile(m_splitFileName)) {
        Report(TEngineMessage::emPieceFileMissing, m_splitFileName);
        return;
    }
    if (m_bufferSize < 1)
        throw EEngineError(TEngineFault::efBadBufferSize, m_splitFileName);
    if (m_fileName.empty()) {
        // The extension comes from the piece itself; a "/" in it would put the
        // whole file into another folder.
        const std::optional<std::string> whole =
            WholeFilePathFor(m_splitFileName, m_originalExt, m_keepOriginalExt);
        if (!whole)
            throw EEngineError(TEngineFault::efUnsafeExtension, m_splitFileName);
        m_fileName = *whole;
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
        TFileDescriptor first(OpenRegularFile(m_splitFileName));
        if (first.IsOpen())
            refuseIfOutput(first.Get(), m_splitFileName);
    }

    // The checksum file beside the first piece, when there is one, decides
    // whether the rebuilt file is the original; a damaged one stops the join
    // rather than letting it pass unverified.
    m_checksumFileName = ChecksumFilePathFor(m_splitFileName);
    const std::optional<TSetChecksums> checksums = ReadSetChecksums(m_checksumFileName);

    TAtomicFile output;
    if (const int error = output.Create(m_fileName))
        throw EEngineError(TEngineFault::efCreateFailed, m_fileName, error);
    TFileCopier copier(m_bufferSize);
    // Only an information file read just now says how large a plain set is;
    // fields left from an earlier inspection may describe another file.
    const bool sizeFromInfoFile = fromInfoFile && m_originalSizeKnown;
    const int64_t infoSize = m_originalSize;
    TJoinState state;
    uint16_t storedBlocks = 0;
    bool read110 = false;
    int64_t k = 0;
    bool proceed = true;
    std::string path = winSplit ? ReplaceExtension(m_splitFileName, ".001") : m_splitFileName;
    std::vector<std::string> joinedPieces;
    std::optional<TChecksumPipeline> hashing;
    if (checksums)
        hashing.emplace(m_bufferSize, true);
    std::vector<TSha256Digest> expected;
    std::size_t checkedPieces = 0;
    // Pieces are checked as soon as their digest is ready, while the next
    // ones are joined; nothing is in place until the whole file is checked too.
    const auto checkFinishedPieces = [&] {
        if (!hashing)
            return;
        for (const std::size_t finished = hashing->FinishedPieces(); checkedPieces < finished;
             ++checkedPieces)
            if (hashing->PieceDigest(checkedPieces) != expected[checkedPieces])
                throw EEngineError(TEngineFault::efChecksumMismatch, joinedPieces[checkedPieces]);
    };
    // A later piece's fault (a wrong size, a missing piece) must not hide an
    // earlier piece whose checksum was still being computed: the first damaged
    // piece is the one named.
    try {
        while (true) {
            // Once the last piece is joined the set is whole; a stray later piece
            // from another split is not appended.
            if (state.ended ||
                (state.layout && state.layout->SizeKnown() && k >= state.layout->blockCount) ||
                (checksums && k >= checksums->PieceCount()))
                break;
            const int32_t numOfDisks =
                winSplit ? static_cast<int32_t>(std::clamp<int64_t>(m_blockCount, 0, INT32_MAX))
                         : storedBlocks;
            if (OnNeedDisk)
                OnNeedDisk(*this, static_cast<int32_t>(std::min<int64_t>(k + 1, INT32_MAX)),
                           numOfDisks, path, proceed);
            if (!proceed || m_stop)
                return; // the unfinished output goes; nothing was joined

            TFileDescriptor piece(OpenRegularFile(path));
            if (!piece.IsOpen()) {
                if (MeansMissing(errno))
                    break; // the end of a set of unknown size, or a missing piece
                throw EEngineError(TEngineFault::efOpenFailed, path, errno);
            }
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
                state.layout = KnownSizeLayout(pieceSize, offset, signature->wholeFileSize);
                if (!state.layout || !StoredBlockCountFits(*state.layout, storedBlocks))
                    throw EEngineError(TEngineFault::efDamagedSignature, path);
            } else if (k == 0 && sizeFromInfoFile) {
                state.layout = KnownSizeLayout(pieceSize, 0, infoSize);
                if (!state.layout) // an empty first piece cannot begin a set of that size
                    throw EEngineError::WrongSize(path, pieceSize, infoSize);
            } else if (k == 0) {
                state.layout = UnknownSizeLayout(pieceSize);
            } else if (!state.layout->SizeKnown()) {
                const TPieceFit fit = FitOfUnknownSizePiece(*state.layout, pieceSize);
                // A short piece must be the last: one more piece after it means a
                // piece of this set was cut short.
                if (fit == TPieceFit::pfWrong ||
                    (fit == TPieceFit::pfLast &&
                     IsRegularFile(NextPiecePath(path, k + 1, winSplit))))
                    throw EEngineError::WrongSize(path, pieceSize, state.layout->blockSize);
                state.ended = fit == TPieceFit::pfLast;
            }
            if (checksums && k == 0 && state.layout->SizeKnown() &&
                state.layout->blockCount != checksums->PieceCount())
                throw EEngineError(TEngineFault::efChecksumFileDamaged, m_checksumFileName);
            const int64_t wanted = CheckedDataLength(state, k + 1, path, pieceSize, offset);
            if (hashing) {
                const TChecksumEntry* entry = checksums->PieceEntry(k + 1, FileNamePart(path));
                if (entry == nullptr)
                    throw EEngineError(TEngineFault::efChecksumFileDamaged, m_checksumFileName);
                expected.push_back(entry->digest);
                // The stub and signature belong to the piece's checksum, not the whole file's.
                int64_t headerOffset = 0;
                if (hashing->Copy(piece.Get(), headerOffset, path, -1, path, offset, false,
                                  copier) < offset)
                    throw EEngineError(TEngineFault::efReadFailed, path, ENODATA);
            }
            int64_t copied = 0;
            while (copied < wanted) {
                if (m_stop)
                    return;
                const int64_t chunk = std::min(m_bufferSize, wanted - copied);
                const int64_t got = hashing ? hashing->Copy(piece.Get(), offset, path, output.Fd(),
                                                            m_fileName, chunk, true, copier)
                                            : copier.Copy(piece.Get(), offset, path, output.Fd(),
                                                          m_fileName, chunk);
                if (got < chunk) // the piece shrank while it was being joined
                    throw EEngineError(TEngineFault::efReadFailed, path, ENODATA);
                copied += got;
                RaiseProgress(copied, pieceSize);
                checkFinishedPieces();
            }
            if (wanted == 0)
                RaiseProgress(pieceSize, pieceSize);
            joinedPieces.push_back(path);
            if (hashing)
                hashing->EndPiece();
            ++k;
            path = NextPiecePath(path, k, winSplit);
        }
        // Short of the stored count, or not a single piece found: the join failed,
        // naming the piece that was looked for last.
        if (k == 0 || (state.layout->SizeKnown() && k < state.layout->blockCount) ||
            (checksums && k < checksums->PieceCount()))
            throw EEngineError(TEngineFault::efIncompleteSet, path);
    } catch (const EEngineError& error) {
        if (hashing && error.Fault() != TEngineFault::efChecksumMismatch) {
            hashing->Finish();
            checkFinishedPieces();
        }
        throw;
    }
    if (hashing) {
        const TSha256Digest whole = hashing->Finish();
        checkFinishedPieces();
        if (whole != checksums->Whole().digest)
            throw EEngineError(TEngineFault::efWholeChecksumMismatch, m_fileName);
    }

    // Times and attributes are restored as far as the system allows; a refusal
    // leaves a complete file, so it is not treated as a failed join.
    if (read110)
        ApplyFileDosTimes(output.Fd(), m_lastAccessTime, m_lastWriteTime);
    if (const int error = output.Commit(true))
        throw EEngineError(TEngineFault::efRenameFailed, m_fileName, error);
    if (read110)
        ApplyFileAttributes(m_fileName, m_attributes);
    if (m_delAfterUnite)
        DeleteUnitedSet(joinedPieces, fromInfoFile);
    m_checksumCheck = checksums ? TChecksumCheck::ccVerified : TChecksumCheck::ccNoChecksumFile;
    m_completed = true;
}

void TVarnSplit::DeleteUnitedSet(const std::vector<std::string>& pieces, bool fromInfoFile) {
    // Only now that the whole file is in place may its pieces go. The
    // information and batch files describe nothing any more and go with them.
    std::vector<std::string> files = pieces;
    const std::string stem = ReplaceExtension(pieces.front(), "");
    if (fromInfoFile)
        files.push_back(m_splitFileName);
    else if (m_winSplitCompatible && IsInfoFileOfSize(stem + ".wsp", FileSizeOf(m_fileName)))
        files.push_back(stem + ".wsp");
    if (IsOwnBatchFile(stem + ".bat"))
        files.push_back(stem + ".bat");
    for (const std::string& file : files)
        if (unlink(file.c_str()) != 0 && errno != ENOENT)
            m_undeletedFiles.push_back(file);
}
