#include "engine/VarnSplit.h"

#include "engine/AtomicFile.h"
#include "engine/BatchFile.h"
#include "engine/BlockArithmetic.h"
#include "engine/ChecksumFile.h"
#include "engine/ChecksumPipeline.h"
#include "engine/FileCopier.h"
#include "engine/FileDescriptor.h"
#include "engine/FileUtils.h"
#include "engine/InfoFile.h"
#include "engine/SelfJoin.h"
#include "engine/SetNames.h"
#include "engine/Signature.h"
#include "engine/SplitPlan.h"
#include "platform/FileAttributes.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace {

// Device and inode of a file the split reads, so that no file it writes can be
// that file under another name or path.
struct TFileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    TEngineFault faultIfWritten = TEngineFault::efSameAsSource;
};

// The files a split reads: the whole file and, for a self-joining set, the stub.
class TReadFiles {
public:
    void Add(int fd, TEngineFault faultIfWritten) {
        struct stat info {};
        if (fstat(fd, &info) == 0)
            m_files.push_back({info.st_dev, info.st_ino, faultIfWritten});
    }
    void RefuseAsTarget(const std::string& path) const {
        struct stat info {};
        if (stat(path.c_str(), &info) != 0)
            return;
        for (const TFileIdentity& file : m_files)
            if (info.st_dev == file.device && info.st_ino == file.inode)
                throw EEngineError(file.faultIfWritten, path);
    }

private:
    std::vector<TFileIdentity> m_files;
};

// A piece or extra file being written. It appears under its name only when
// Finish() is reached, so a piece cut short by an error, a stop or a killed
// process never looks like part of a complete set.
class TOutputFile {
public:
    TOutputFile(std::string path, const TReadFiles& readFiles) : m_path(std::move(path)) {
        readFiles.RefuseAsTarget(m_path);
        // The file there is replaced, and deleted first so that a full disk
        // holding an old set has room for the new piece. Only files and links
        // are deleted: a handler may name a device, which must never lose its
        // node and is written directly.
        struct stat existing {};
        const bool exists = lstat(m_path.c_str(), &existing) == 0;
        if (exists && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode)) {
            m_direct.Reset(open(m_path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
            if (!m_direct.IsOpen())
                throw EEngineError(TEngineFault::efCreateFailed, m_path, errno);
            return;
        }
        if (exists)
            unlink(m_path.c_str()); // a refusal shows up when the commit finds the name taken
        if (const int error = m_file.Create(m_path))
            throw EEngineError(TEngineFault::efCreateFailed, m_path, error);
    }
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    int Fd() const { return m_direct.IsOpen() ? m_direct.Get() : m_file.Fd(); }
    const std::string& Path() const { return m_path; }

    void Finish() {
        if (m_direct.IsOpen()) {
            if (const int error = m_direct.Close())
                throw EEngineError(TEngineFault::efWriteFailed, m_path, error);
            return;
        }
        if (const int error = m_file.Commit(false))
            throw EEngineError(error == EEXIST ? TEngineFault::efCreateFailed
                                               : TEngineFault::efWriteFailed,
                               m_path, error);
    }

private:
    std::string m_path;
    TAtomicFile m_file;
    TFileDescriptor m_direct;
};

// Checks, before anything is written, the names the pieces will get without a
// handler moving them: the first piece, every numbered piece that already
// exists beside it, and the information and batch files.
void RefuseDefaultNamesOverReadFiles(const std::string& firstPiece, int64_t blocks, bool winSplit,
                                     bool infoFile, bool batchFile, const TReadFiles& readFiles) {
    readFiles.RefuseAsTarget(firstPiece);
    const std::string stem = ReplaceExtension(firstPiece, "");
    if (infoFile)
        readFiles.RefuseAsTarget(stem + ".wsp");
    if (batchFile)
        readFiles.RefuseAsTarget(stem + ".bat");
    const std::string folder = FolderPart(stem).empty() ? "." : FolderPart(stem);
    const std::string prefix = FileNamePart(stem) + ".";
    // A scan of the folder costs one pass however many pieces the set has.
    std::unique_ptr<DIR, int (*)(DIR*)> directory(opendir(folder.c_str()), closedir);
    if (!directory)
        return; // the first piece's create will report the folder's problem
    const int64_t firstNumber = winSplit ? 2 : 1;
    const int64_t lastNumber = winSplit ? blocks : blocks - 1;
    while (const struct dirent* entry = readdir(directory.get())) {
        const std::string name = entry->d_name;
        if (name.size() < prefix.size() + 3 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.size() > 18 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const int64_t number = std::stoll(digits);
        if (number < firstNumber || number > lastNumber || ZeroPad(number, 3) != digits)
            continue;
        readFiles.RefuseAsTarget(FolderPart(stem) + name);
    }
}

int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(std::min<int64_t>(value, std::numeric_limits<int32_t>::max()));
}

// The information, batch and checksum files are written only where the handler
// says so: without a handler, or with Continue false, nothing is written.
void WriteExtraFile(TVarnSplit& engine, int32_t diskID, std::string& path, const std::string& text,
                    const TReadFiles& readFiles, TFileCopier& copier, int32_t bytesNeeded = 4) {
    bool proceed = false;
    if (engine.OnNeedDisk)
        engine.OnNeedDisk(engine, diskID, bytesNeeded, path, proceed);
    if (!proceed)
        return;
    TOutputFile file(path, readFiles);
    copier.WriteAll(file.Fd(), text, path);
    file.Finish();
}

// Opens the stub for a self-joining set and returns the length of its program
// image: exactly that is copied into the first piece, never bytes a longer
// file holds after it (a set made from a stub file that is itself a piece).
int64_t OpenStub(const std::string& stubPath, TFileDescriptor& stub, TReadFiles& readFiles) {
    stub.Reset(OpenRegularFile(stubPath));
    if (!stub.IsOpen())
        throw EEngineError(TEngineFault::efStubUnreadable, stubPath, errno);
    readFiles.Add(stub.Get(), TEngineFault::efSameAsStub);
    // Measured through the open descriptor, so that it is this very file.
    const int64_t length = StubLengthOf("/proc/self/fd/" + std::to_string(stub.Get()));
    if (length <= 0)
        throw EEngineError(TEngineFault::efStubDamaged, stubPath);
    return length;
}

// The whole file's name as a unite of this set names it, so that the checksum
// file also checks the rebuilt file: from the first piece's name and the
// extension as the signature or information file gives it back.
std::string UnitedName(const std::string& firstPiecePath, const std::string& wholeFilePath,
                       const std::optional<TSignature>& signature, bool winSplit,
                       const std::string& originalExt, bool keepOriginalExt) {
    std::optional<std::string> name;
    if (signature) {
        const std::string encoded = EncodeSignature(*signature);
        const std::optional<TSignature> stored =
            ParseSignature(reinterpret_cast<const unsigned char*>(encoded.data()), encoded.size());
        if (stored)
            name = WholeFilePathFor(FileNamePart(firstPiecePath),
                                    TextFromStoredBytes(stored->extension), keepOriginalExt);
    } else if (winSplit) {
        // The information file stores the extension without its dot, and a
        // unite reads it back with one, even when it is empty.
        name = WholeFilePathFor(FileNamePart(ReplaceExtension(firstPiecePath, ".wsp")),
                                originalExt.empty() ? "." : originalExt, keepOriginalExt);
    }
    return name ? *name : FileNamePart(wholeFilePath);
}

} // namespace

void TVarnSplit::Split() {
    m_stop = false;
    m_completed = false;

    struct stat wholeInfo {};
    if (stat(m_fileName.c_str(), &wholeInfo) != 0 || !S_ISREG(wholeInfo.st_mode)) {
        Report(TEngineMessage::emInputFileMissing, m_fileName);
        return;
    }
    m_originalExt = ExtensionOf(m_fileName);
    if (m_splitFileName.empty()) {
        m_splitFileName = FirstPiecePath(FolderPart(m_fileName), m_fileName, FirstPieceExtension(),
                                         m_keepOriginalExt);
    }
    if (m_size < 1)
        throw EEngineError(TEngineFault::efBadBlockSize, m_fileName);
    if (m_bufferSize < 1)
        throw EEngineError(TEngineFault::efBadBufferSize, m_fileName);

    TFileDescriptor whole(OpenRegularFile(m_fileName));
    if (!whole.IsOpen())
        throw EEngineError(TEngineFault::efOpenFailed, m_fileName, errno);
    if (fstat(whole.Get(), &wholeInfo) != 0)
        throw EEngineError(TEngineFault::efReadFailed, m_fileName, errno);
    TReadFiles readFiles;
    readFiles.Add(whole.Get(), TEngineFault::efSameAsSource);
    const int64_t wholeSize = static_cast<int64_t>(wholeInfo.st_size);

    // Whole-file facts go into the version 1.1 record and the batch file.
    m_attributes = FileAttributesOf(m_fileName);
    FileDosTimes(m_fileName, m_creationTime, m_lastAccessTime, m_lastWriteTime);

    const bool signedSet = !m_dosCompatible && !m_winSplitCompatible;
    const bool selfJoining = signedSet && m_makeSUB && !m_version100;
    TSignature signature;
    TFileDescriptor stub;
    int64_t stubLength = 0;
    if (signedSet) {
        signature.version = m_version100 ? TSignatureVersion::sv100 : TSignatureVersion::sv110;
        signature.flag = 1;
        signature.wholeFileSize =
            static_cast<int32_t>(std::min(wholeSize, SignatureMaxWholeFileSize));
        signature.extension = m_originalExt;
        if (!m_version100) {
            signature.comment = m_comment;
            signature.attributes = m_attributes;
            signature.creationTime = m_creationTime;
            signature.lastAccessTime = m_lastAccessTime;
            signature.lastWriteTime = m_lastWriteTime;
        }
        if (selfJoining) {
            stubLength = OpenStub(m_stubFileName, stub, readFiles);
            m_stubSize = stubLength;
        }
    }
    TSplitPlanInput planInput;
    planInput.wholeSize = wholeSize;
    planInput.blockSize = m_size;
    planInput.signedSet = signedSet;
    planInput.version100 = m_version100;
    planInput.extension = m_originalExt;
    planInput.comment = m_comment;
    planInput.stubLength = stubLength;
    const TSplitPlan plan = PlanSplit(planInput);
    if (plan.refusal)
        throw EEngineError(*plan.refusal, *plan.refusal == TEngineFault::efBlockNotLargerThanHeader
                                              ? m_splitFileName
                                              : m_fileName);
    const int64_t header = plan.headerSize;
    const int64_t blocks = plan.blockCount;
    const int64_t lastBlock = plan.lastPieceSize;
    signature.blockCount = static_cast<uint16_t>(blocks);

    RefuseDefaultNamesOverReadFiles(m_splitFileName, blocks, m_winSplitCompatible,
                                    m_winSplitCompatible && OnNeedDisk, m_makeBAT && OnNeedDisk,
                                    readFiles);
    const bool checksums = m_makeChecksums && OnNeedDisk;
    if (checksums)
        readFiles.RefuseAsTarget(ChecksumFilePathFor(m_splitFileName));

    TFileCopier copier(m_bufferSize);
    std::optional<TChecksumPipeline> hashing;
    if (checksums)
        hashing.emplace(m_bufferSize, true);
    std::vector<std::string> pieceNames;
    std::string firstPiecePath = m_splitFileName;
    int64_t wholeOffset = 0;
    std::string path = m_splitFileName;
    bool proceed = true;
    const int32_t numOfDisks = ClampToInt32(blocks);
    for (int64_t k = 1; k <= blocks; ++k) {
        if (OnNeedDisk)
            OnNeedDisk(*this, ClampToInt32(k), numOfDisks, path, proceed);
        if (m_stop || !proceed)
            return;
        TOutputFile piece(path, readFiles);
        if (k == 1)
            firstPiecePath = path;
        int64_t written = 0;
        if (k == 1 && signedSet) {
            if (selfJoining) {
                int64_t stubOffset = 0;
                const int64_t stubCopied =
                    hashing ? hashing->Copy(stub.Get(), stubOffset, m_stubFileName, piece.Fd(),
                                            path, stubLength, false, copier)
                            : copier.Copy(stub.Get(), stubOffset, m_stubFileName, piece.Fd(), path,
                                          stubLength);
                if (stubCopied != stubLength)
                    throw EEngineError(TEngineFault::efStubUnreadable, m_stubFileName);
            }
            const std::string encoded = EncodeSignature(signature);
            if (hashing)
                hashing->AddPieceBytes(encoded);
            copier.WriteAll(piece.Fd(), encoded, path);
            written = header;
        }
        const int64_t pieceSize = k == blocks ? lastBlock : m_size;
        if (written == pieceSize)
            RaiseProgress(written, pieceSize);
        while (written < pieceSize) {
            // A piece cut short by a stop is removed with the piece object.
            if (m_stop)
                return;
            const int64_t chunk = std::min(m_bufferSize, pieceSize - written);
            const int64_t copied = hashing ? hashing->Copy(whole.Get(), wholeOffset, m_fileName,
                                                           piece.Fd(), path, chunk, true, copier)
                                           : copier.Copy(whole.Get(), wholeOffset, m_fileName,
                                                         piece.Fd(), path, chunk);
            if (copied < chunk) // the whole file shrank while it was being split
                throw EEngineError(TEngineFault::efReadFailed, m_fileName, ENODATA);
            written += copied;
            RaiseProgress(written, pieceSize);
        }
        piece.Finish();
        if (hashing) {
            hashing->EndPiece();
            pieceNames.push_back(FileNamePart(path));
        }
        // Execute permission only helps the user start the set; a refusal
        // leaves a correct piece, so it is not an error.
        if (k == 1 && selfJoining)
            MakeExecutable(path);
        path = NextPiecePath(path, k, m_winSplitCompatible);
    }

    if (m_winSplitCompatible) {
        path = ReplaceExtension(path, ".wsp");
        const std::string extension = m_originalExt.empty() ? "" : m_originalExt.substr(1);
        WriteExtraFile(*this, InfoFileDiskID, path, InfoFileText(extension, blocks, wholeSize),
                       readFiles, copier);
    }
    if (m_makeBAT) {
        TBatchFileFacts facts;
        facts.wholeFileName = FileNamePart(m_fileName);
        facts.blockCount = blocks;
        facts.wholeFileSize = wholeSize;
        facts.pathAfterLastPiece = path;
        facts.winSplitCompatible = m_winSplitCompatible;
        facts.dosCompatible = m_dosCompatible;
        facts.attributes = m_attributes;
        const std::optional<std::string> text = BatchFileText(facts);
        path = ReplaceExtension(path, ".bat");
        // The pieces are complete and stay; only the batch file is refused.
        if (!text)
            throw EEngineError(TEngineFault::efUnsafeBatchName, path);
        WriteExtraFile(*this, BatchFileDiskID, path, *text, readFiles, copier);
    }
    if (hashing) {
        TChecksumEntry wholeEntry;
        wholeEntry.digest = hashing->Finish();
        wholeEntry.name =
            UnitedName(firstPiecePath, m_fileName,
                       signedSet ? std::optional<TSignature>(signature) : std::nullopt,
                       m_winSplitCompatible, m_originalExt, m_keepOriginalExt);
        std::string text;
        for (std::size_t i = 0; i < pieceNames.size(); ++i)
            text += ChecksumLine({pieceNames[i], hashing->PieceDigest(i)});
        text += ChecksumLine(wholeEntry);
        std::string checksumPath = ChecksumFilePathFor(firstPiecePath);
        WriteExtraFile(*this, ChecksumFileDiskID, checksumPath, text, readFiles, copier,
                       ClampToInt32(static_cast<int64_t>(text.size())));
    }
    m_completed = true;
}
