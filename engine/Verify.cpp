#include "engine/VarnSplit.h"

#include "engine/ChecksumFile.h"
#include "engine/ChecksumPipeline.h"
#include "engine/FileCopier.h"
#include "engine/FileDescriptor.h"
#include "engine/FileUtils.h"
#include "engine/InfoFile.h"
#include "engine/SetLayout.h"
#include "engine/SignatureFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <optional>
#include <sys/stat.h>

namespace {

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsRegular(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

void TVarnSplit::Verify() {
    m_stop = false;
    m_completed = false;
    m_setCheck = TSetCheck();

    if (!IsRegular(m_splitFileName)) {
        Report(TEngineMessage::emPieceFileMissing, m_splitFileName);
        return;
    }
    if (m_bufferSize < 1)
        throw EEngineError(TEngineFault::efBadBufferSize, m_splitFileName);
    m_setCheck.checksumFile = ChecksumFilePathFor(m_splitFileName);
    const std::optional<TSetChecksums> checksums = ReadSetChecksums(m_setCheck.checksumFile);
    m_setCheck.checksumsAvailable = checksums.has_value();

    // How many pieces the set has and how long each must be, as far as its
    // signature, information file or checksum file tells.
    std::optional<TSetLayout> layout;
    int64_t expectedCount = checksums ? checksums->PieceCount() : 0;
    bool winSplit = false;
    std::string path = m_splitFileName;
    std::optional<int64_t> infoSize;
    if (IsInfoFileName(m_splitFileName)) {
        ReadSignature(m_splitFileName);
        winSplit = true;
        path = ReplaceExtension(m_splitFileName, ".001");
        if (m_originalSizeKnown)
            infoSize = m_originalSize;
        if (!checksums)
            expectedCount = std::max<int64_t>(m_blockCount, 1);
    } else {
        TFileDescriptor first(OpenRegularFile(path));
        if (!first.IsOpen())
            throw EEngineError(TEngineFault::efOpenFailed, path, errno);
        struct stat info {};
        if (fstat(first.Get(), &info) != 0)
            throw EEngineError(TEngineFault::efReadFailed, path, errno);
        const int64_t stubSize = std::max<int64_t>(m_stubSize, 0);
        const std::optional<TSignature> signature = ReadSignatureAt(first.Get(), stubSize, path);
        const std::string extension = LowerCase(ExtensionOf(path));
        if (signature) {
            layout =
                KnownSizeLayout(static_cast<int64_t>(info.st_size),
                                stubSize + static_cast<int64_t>(EncodedSignatureLength(*signature)),
                                signature->wholeFileSize);
            if (layout && !StoredBlockCountFits(*layout, signature->blockCount))
                layout.reset();
            // With a checksum file a damaged first piece is found by its
            // checksum; without one the signature is all there is.
            if (!layout && !checksums)
                throw EEngineError(TEngineFault::efDamagedSignature, path);
            if (layout)
                TakeSignature(*signature);
        } else if ((extension == ".vrn" || extension == ".exe") && !checksums) {
            Report(TEngineMessage::emUnknownSignature, path);
            return;
        } else {
            winSplit = extension == ".001";
        }
    }

    std::optional<TSetLayout> plainLayout; // a set that stores no size: from its first piece
    bool ended = false;
    TFileCopier copier(m_bufferSize);
    TChecksumPipeline hashing(m_bufferSize, false);
    std::size_t hashedPieces = 0;
    for (int64_t k = 1;; ++k) {
        if (k > 1)
            path = NextPiecePath(path, k - 1, winSplit);
        if (layout && k == 1 && checksums && layout->blockCount != checksums->PieceCount())
            throw EEngineError(TEngineFault::efChecksumFileDamaged, m_setCheck.checksumFile);
        const int64_t count = layout ? layout->blockCount : expectedCount;
        if ((count > 0 && k > count) || (count == 0 && ended))
            break;
        TPieceCheck check;
        check.path = path;
        TFileDescriptor piece(OpenRegularFile(path));
        if (!piece.IsOpen()) {
            if (errno != ENOENT && errno != ENOTDIR && errno != EINVAL)
                throw EEngineError(TEngineFault::efOpenFailed, path, errno);
            // In a set of unknown length the first missing piece is its end.
            if (count == 0 && k > 1)
                break;
            m_setCheck.pieces.push_back(check);
            continue;
        }
        struct stat info {};
        if (fstat(piece.Get(), &info) != 0)
            throw EEngineError(TEngineFault::efReadFailed, path, errno);
        const int64_t size = static_cast<int64_t>(info.st_size);
        check.size = size;
        if (k == 1 && winSplit && infoSize && !layout) {
            layout = KnownSizeLayout(size, 0, *infoSize);
            if (layout && checksums && layout->blockCount != checksums->PieceCount())
                layout.reset();
        }
        std::optional<int64_t> expectedSize;
        if (layout) {
            expectedSize = layout->ExpectedPieceSize(k);
        } else if (!plainLayout) {
            plainLayout = UnknownSizeLayout(size);
            ended = size == 0;
        } else {
            const TPieceFit fit = FitOfUnknownSizePiece(*plainLayout, size);
            if (fit == TPieceFit::pfWrong || (fit == TPieceFit::pfLast && count > 0 && k < count))
                expectedSize = plainLayout->blockSize;
            ended = fit != TPieceFit::pfWhole;
        }
        if (expectedSize && *expectedSize != size) {
            check.state = TPieceState::psWrongSize;
            check.expectedSize = *expectedSize;
            m_setCheck.pieces.push_back(check);
            continue;
        }
        const TChecksumEntry* entry =
            checksums ? checksums->PieceEntry(k, FileNamePart(path)) : nullptr;
        if (!checksums) {
            check.state = TPieceState::psPresent;
        } else if (entry == nullptr) {
            check.state = TPieceState::psNotListed;
        } else {
            int64_t offset = 0;
            while (offset < size) {
                if (m_stop)
                    return;
                const int64_t chunk = std::min(m_bufferSize, size - offset);
                if (hashing.Copy(piece.Get(), offset, path, -1, path, chunk, false, copier) < chunk)
                    throw EEngineError(TEngineFault::efReadFailed, path, ENODATA);
                RaiseProgress(offset, size);
            }
            hashing.EndPiece();
            hashing.Finish();
            check.state = hashing.PieceDigest(hashedPieces++) == entry->digest
                              ? TPieceState::psGood
                              : TPieceState::psDamaged;
        }
        if (size == 0)
            RaiseProgress(1, 1);
        m_setCheck.pieces.push_back(check);
    }
    m_completed = true;
}
