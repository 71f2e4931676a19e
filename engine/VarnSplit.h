#pragma once

#include "engine/EngineErrors.h"
#include "engine/SetCheck.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The five split modes, in the order of the user's mode list and of the stored
// "SplitMode" value.
enum TSplitMode { smNormal = 0, smDOS = 1, smVersion10 = 2, smWinSplit = 3, smSelfJoining = 4 };

class TVarnSplit;

// DiskID 0 asks for the WinSplit information file, 2147483647 for the batch file,
// k >= 1 for piece k. Path and Continue are answered by the handler.
using TNeedDiskEvent = std::function<void(TVarnSplit& Sender, int32_t DiskID, int32_t NumOfDisks,
                                          std::string& Path, bool& Continue)>;
using TProgressEvent = std::function<void(TVarnSplit& Sender, uint16_t PercentDone)>;

inline constexpr int32_t BatchFileDiskID = 2147483647;
inline constexpr int32_t InfoFileDiskID = 0;
// The checksum file: a number no piece can have.
inline constexpr int32_t ChecksumFileDiskID = -1;

struct TSignature;

// The path of the piece that follows piece number `pieceNumber` at `path`: its
// extension becomes "." + the number in at least three digits, the previous
// piece's number in every mode but the WinSplit-compatible one, where it is the
// new piece's own (name.vrn, name.001, name.002 ... or name.001, name.002 ...).
std::string NextPiecePath(const std::string& path, int64_t pieceNumber, bool winSplitCompatible);

// The split engine: cuts FileName into pieces (Split), joins a set back
// (Unite) and tells what a first piece or information file says (ReadSignature).
// It knows nothing of windows: it asks OnNeedDisk where each file goes and
// reports its own three messages through the reporter the caller supplies.
class TVarnSplit {
public:
    explicit TVarnSplit(IEngineReporter* reporter = nullptr);
    ~TVarnSplit();
    TVarnSplit(const TVarnSplit&) = delete;
    TVarnSplit& operator=(const TVarnSplit&) = delete;

    // Split and Unite throw EEngineError for every failure other than the three
    // reported messages; a refused operation writes nothing.
    void Split();
    void Unite();
    void ReadSignature(const std::string& fileName);
    // Checks every piece of the set that starts at SplitFileName (present,
    // size, and SHA-256 when its checksum file is there) without writing
    // anything; the result is in SetCheck(). Throws EEngineError like Unite.
    void Verify();
    const TSetCheck& SetCheck() const { return m_setCheck; }
    // What the last completed Unite could tell about the rebuilt file, and
    // the checksum file it looked for.
    TChecksumCheck ChecksumCheck() const { return m_checksumCheck; }
    const std::string& ChecksumFileName() const { return m_checksumFileName; }

    // True when the last Split or Unite ran to its end: every piece written (and
    // the extra files offered), or the whole file rebuilt and in place. False
    // after a stop, a handler's Continue = false, a reported message or an error.
    bool Completed() const { return m_completed; }
    // True when OriginalSize holds a size read from a signature or information
    // file (false after an information file whose size line is not a number).
    bool OriginalSizeKnown() const { return m_originalSizeKnown; }
    // The first piece's extension for the current flags: ".001" WinSplit-compatible,
    // ".dos" DOS-compatible or without FullSignature, ".exe" self-joining, else ".vrn".
    std::string FirstPieceExtension() const;
    // The files a Unite with DelAfterUnite could not delete (a read-only
    // folder, for example); the whole file was rebuilt, so they are only
    // left over, but the user has to be told.
    const std::vector<std::string>& UndeletedFiles() const { return m_undeletedFiles; }

    IEngineReporter* Reporter() const { return m_reporter; }
    void SetReporter(IEngineReporter* reporter) { m_reporter = reporter; }

    bool Stop() const { return m_stop; }
    void SetStop(bool value) { m_stop = value; }

    const std::string& FileName() const { return m_fileName; }
    void SetFileName(const std::string& value);
    const std::string& SplitFileName() const { return m_splitFileName; }
    void SetSplitFileName(const std::string& value);
    int64_t Size() const { return m_size; }
    void SetSize(int64_t value);
    int64_t BufferSize() const { return m_bufferSize; }
    void SetBufferSize(int64_t value);

    bool WinSplitCompatible() const { return m_winSplitCompatible; }
    void SetWinSplitCompatible(bool value) { m_winSplitCompatible = value; }
    bool DOSCompatible() const { return m_dosCompatible; }
    void SetDOSCompatible(bool value);
    bool Version100() const { return m_version100; }
    void SetVersion100(bool value) { m_version100 = value; }
    bool FullSignature() const { return m_fullSignature; }
    void SetFullSignature(bool value) { m_fullSignature = value; }

    int64_t StubSize() const { return m_stubSize; }
    void SetStubSize(int64_t value) { m_stubSize = value; }
    const std::string& StubFileName() const { return m_stubFileName; }
    void SetStubFileName(const std::string& value) { m_stubFileName = value; }
    bool MakeSUB() const { return m_makeSUB; }
    void SetMakeSUB(bool value) { m_makeSUB = value; }
    bool MakeBAT() const { return m_makeBAT; }
    void SetMakeBAT(bool value) { m_makeBAT = value; }

    const std::string& OriginalExt() const { return m_originalExt; }
    void SetOriginalExt(const std::string& value) { m_originalExt = value; }
    int64_t OriginalSize() const { return m_originalSize; }
    void SetOriginalSize(int64_t value) { m_originalSize = value; }
    int64_t BlockCount() const { return m_blockCount; }
    void SetBlockCount(int64_t value) { m_blockCount = value; }
    const std::string& Comment() const { return m_comment; }
    void SetComment(const std::string& value) { m_comment = value; }
    uint32_t Attributes() const { return m_attributes; }
    void SetAttributes(uint32_t value) { m_attributes = value; }
    uint32_t CreationTime() const { return m_creationTime; }
    void SetCreationTime(uint32_t value) { m_creationTime = value; }
    uint32_t LastWriteTime() const { return m_lastWriteTime; }
    void SetLastWriteTime(uint32_t value) { m_lastWriteTime = value; }
    uint32_t LastAccessTime() const { return m_lastAccessTime; }
    void SetLastAccessTime(uint32_t value) { m_lastAccessTime = value; }

    bool DelAfterUnite() const { return m_delAfterUnite; }
    void SetDelAfterUnite(bool value);
    bool KeepOriginalExt() const { return m_keepOriginalExt; }
    void SetKeepOriginalExt(bool value) { m_keepOriginalExt = value; }
    // Split writes the SHA-256 checksum file beside the first piece.
    bool MakeChecksums() const { return m_makeChecksums; }
    void SetMakeChecksums(bool value) { m_makeChecksums = value; }

    TNeedDiskEvent OnNeedDisk;
    TProgressEvent OnProgress;

private:
    // Implementation members are the engine's own; callers use only the above.
    void Report(TEngineMessage message, const std::string& path);
    void RaiseProgress(int64_t done, int64_t whole);
    void TakeSignature(const TSignature& signature);
    void ResetInspection();
    void DeleteUnitedSet(const std::vector<std::string>& pieces, bool fromInfoFile);

    IEngineReporter* m_reporter = nullptr;
    bool m_completed = false;
    bool m_originalSizeKnown = false;
    bool m_stop = false;
    std::string m_fileName;
    std::string m_splitFileName;
    bool m_splitNameSet = false;
    int64_t m_size = 1457664;
    int64_t m_bufferSize = 1457664;
    bool m_winSplitCompatible = false;
    bool m_dosCompatible = false;
    bool m_version100 = false;
    bool m_fullSignature = true;
    int64_t m_stubSize = 0;
    std::string m_stubFileName;
    bool m_makeSUB = false;
    bool m_makeBAT = false;
    std::string m_originalExt;
    int64_t m_originalSize = 0;
    int64_t m_blockCount = 0;
    std::string m_comment;
    uint32_t m_attributes = 0;
    uint32_t m_creationTime = 0;
    uint32_t m_lastWriteTime = 0;
    uint32_t m_lastAccessTime = 0;
    bool m_delAfterUnite = false;
    bool m_keepOriginalExt = false;
    bool m_makeChecksums = true;
    std::vector<std::string> m_undeletedFiles;
    TSetCheck m_setCheck;
    TChecksumCheck m_checksumCheck = TChecksumCheck::ccNone;
    std::string m_checksumFileName;
};
