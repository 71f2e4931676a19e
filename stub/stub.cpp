// The self-joining stub: copied byte for byte at the start of the first piece
// of a self-joining set (name.exe). Run as that piece, it finds the signature
// that follows its own image and rebuilds the whole file beside itself from its
// own data and the later pieces name.001, name.002, ...

#include "engine/AtomicFile.h"
#include "engine/FileUtils.h"
#include "engine/SelfJoin.h"
#include "engine/SetLayout.h"
#include "engine/SetNames.h"
#include "engine/Signature.h"
#include "platform/FileAttributes.h"
#include "platform/FileTimes.h"
#include "texts/TextFormat.h"
#include "texts/Texts.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* OwnImage = "/proc/self/exe";
constexpr size_t CopyBufferSize = 1 << 20;
constexpr size_t MaxSignatureLength =
    SignatureFixedLength + Signature110MaxExtension + Signature110MaxComment;

// A failure that ends the run: its text is already in the user's words.
class EStubError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string Reason(int error) {
    return std::strerror(error);
}

// Owns one open descriptor.
class TFileHandle {
public:
    explicit TFileHandle(int fd = -1) : m_fd(fd) {}
    ~TFileHandle() { Close(); }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;

    int Fd() const { return m_fd; }
    void Reset(int fd) {
        Close();
        m_fd = fd;
    }
    // Closes now so that a failing close (a late write error) is seen.
    bool Close() {
        if (m_fd < 0)
            return true;
        int result = close(m_fd);
        m_fd = -1;
        return result == 0;
    }

private:
    int m_fd;
};

// The half-built whole file has no name where the file system allows that;
// elsewhere this is its hidden name, removed unless the run reaches its end,
// also when the user interrupts the stub, so nothing half-written is left.
char g_temporaryPath[4096] = {};

void RememberTemporaryPath(const std::string& path) {
    const size_t length = std::min(path.size(), sizeof g_temporaryPath - 1);
    std::memcpy(g_temporaryPath, path.c_str(), length);
    g_temporaryPath[length] = '\0';
}

void RemoveTemporaryAndExit(int signalNumber) {
    if (g_temporaryPath[0] != '\0')
        unlink(g_temporaryPath);
    _exit(128 + signalNumber);
}

void WatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryAndExit;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signalNumber, &action, nullptr);
}

void ReadExactly(int fd, uint64_t offset, char* buffer, size_t length, const std::string& path) {
    size_t done = 0;
    while (done < length) {
        ssize_t got = pread(fd, buffer + done, length - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw EStubError(FormatText(Texts::StubReadFailed, {path, Reason(errno)}));
        if (got == 0) // the file shrank under us
            throw EStubError(FormatText(Texts::StubReadFailed, {path, Reason(EIO)}));
        done += static_cast<size_t>(got);
    }
}

void WriteAll(int fd, const char* buffer, size_t length, const std::string& path) {
    size_t done = 0;
    while (done < length) {
        ssize_t put = write(fd, buffer + done, length - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            throw EStubError(FormatText(Texts::StubWriteFailed, {path, Reason(errno)}));
        done += static_cast<size_t>(put);
    }
}

// Says yes only when a person at the terminal answers yes.
bool UserAllowsReplacing(const std::string& target) {
    std::printf("%s\n", FormatText(Texts::StubTargetExists, {target}).c_str());
    if (!isatty(STDIN_FILENO))
        throw EStubError(FormatText(Texts::StubNoTerminalRefusal, {target}));
    std::printf("%s", Texts::StubAskOverwrite);
    std::fflush(stdout);
    char answer[64] = {};
    if (std::fgets(answer, sizeof answer, stdin) == nullptr)
        return false;
    const std::string reply = answer;
    for (const char* yes : Texts::StubYesAnswers)
        if (reply.rfind(yes, 0) == 0)
            return true;
    return false;
}

// Rebuilds the whole file of the set whose first piece is this very program.
class TSelfJoiner {
public:
    // With `keepOriginalExt` the set's pieces were named with the whole name
    // kept (report.doc.exe), as "-keepext" tells the splitter.
    explicit TSelfJoiner(bool keepOriginalExt) : m_keepOriginalExt(keepOriginalExt) {}
    int Run();

private:
    void ReadOwnSignature();
    void CheckTarget();
    std::string CommentForTerminal() const;
    void CopyRange(int fd, const std::string& path, uint64_t offset, uint64_t length,
                   uint64_t pieceNumber);
    void CopyLaterPieces();
    void Finish();

    bool m_keepOriginalExt;
    std::string m_ownPath;
    TFileHandle m_own;
    uint64_t m_ownSize = 0;
    uint64_t m_dataStart = 0;
    TSignature m_signature;
    TSetLayout m_layout;
    uint64_t m_blockCount = 0;
    std::string m_targetPath;
    bool m_replaceAllowed = false;
    TAtomicFile m_output;
    std::vector<char> m_buffer = std::vector<char>(CopyBufferSize);
    bool m_showProgress = isatty(STDOUT_FILENO) != 0;
};

void TSelfJoiner::ReadOwnSignature() {
    std::vector<char> link(4096);
    ssize_t linkLength = readlink(OwnImage, link.data(), link.size() - 1);
    if (linkLength <= 0)
        throw EStubError(FormatText(Texts::StubCannotOpen, {OwnImage, Reason(errno)}));
    m_ownPath.assign(link.data(), static_cast<size_t>(linkLength));

    // The running image is read through /proc, since argv[0] may be relative
    // or name a different file.
    m_own.Reset(open(OwnImage, O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (m_own.Fd() < 0 || fstat(m_own.Fd(), &status) != 0)
        throw EStubError(FormatText(Texts::StubCannotOpen, {m_ownPath, Reason(errno)}));
    m_ownSize = static_cast<uint64_t>(status.st_size);

    const uint64_t stubLength = static_cast<uint64_t>(StubLengthOf(OwnImage));
    if (stubLength == 0 || stubLength >= m_ownSize)
        throw EStubError(FormatText(Texts::StubNoSignature, {m_ownPath}));
    const size_t available =
        static_cast<size_t>(std::min<uint64_t>(m_ownSize - stubLength, MaxSignatureLength));
    std::vector<char> header(available);
    ReadExactly(m_own.Fd(), stubLength, header.data(), available, m_ownPath);
    const auto* headerBytes = reinterpret_cast<const unsigned char*>(header.data());
    std::optional<TSignature> signature = ParseSignature(headerBytes, available);
    if (!signature)
        throw EStubError(FormatText(Texts::StubNoSignature, {m_ownPath}));
    m_signature = *signature;
    m_dataStart = stubLength + SignatureLength(headerBytes, available);

    // Every piece but the last is as long as this one, so the block count the
    // signature stores tells whether this piece is whole.
    const std::optional<TSetLayout> layout =
        KnownSizeLayout(static_cast<int64_t>(m_ownSize), static_cast<int64_t>(m_dataStart),
                        m_signature.wholeFileSize);
    if (!layout || !StoredBlockCountFits(*layout, m_signature.blockCount))
        throw EStubError(FormatText(Texts::StubFirstPieceDamaged, {m_ownPath}));
    m_layout = *layout;
    m_blockCount = static_cast<uint64_t>(m_layout.blockCount);
    const int64_t expected = m_layout.ExpectedPieceSize(1);
    if (static_cast<int64_t>(m_ownSize) != expected)
        throw EStubError(
            FormatText(Texts::StubPieceWrongSize,
                       {m_ownPath, std::to_string(m_ownSize), std::to_string(expected)}));
}

// The comment was typed on Windows with CR LF between its lines.
std::string TSelfJoiner::CommentForTerminal() const {
    std::string comment = TextFromStoredBytes(m_signature.comment);
    std::string text;
    for (char c : comment)
        if (c != '\r')
            text += c;
    return text;
}

void TSelfJoiner::CheckTarget() {
    const std::optional<std::string> target =
        WholeFilePathFor(m_ownPath, TextFromStoredBytes(m_signature.extension), m_keepOriginalExt);
    if (!target)
        throw EStubError(FormatText(Texts::StubBadExtension, {m_ownPath}));
    m_targetPath = *target;

    std::printf("%s\n%s\n", Texts::StubTitle, FormatText(Texts::StubFile, {m_targetPath}).c_str());
    std::printf("%s\n",
                FormatText(Texts::StubSize, {std::to_string(m_signature.wholeFileSize)}).c_str());
    std::printf("%s\n", FormatText(Texts::StubBlocks, {std::to_string(m_blockCount)}).c_str());
    if (!m_signature.comment.empty())
        std::printf("%s\n", FormatText(Texts::StubComment, {CommentForTerminal()}).c_str());
    std::fflush(stdout);

    struct stat status {};
    if (lstat(m_targetPath.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            throw EStubError(FormatText(Texts::StubTargetIsFolder, {m_targetPath}));
        if (!UserAllowsReplacing(m_targetPath))
            throw EStubError(FormatText(Texts::StubNotReplaced, {m_targetPath}));
        m_replaceAllowed = true;
    }
}

void TSelfJoiner::CopyRange(int fd, const std::string& path, uint64_t offset, uint64_t length,
                            uint64_t pieceNumber) {
    int shownPercent = -1;
    for (uint64_t copied = 0; copied < length;) {
        const size_t chunk =
            static_cast<size_t>(std::min<uint64_t>(length - copied, m_buffer.size()));
        ReadExactly(fd, offset + copied, m_buffer.data(), chunk, path);
        WriteAll(m_output.Fd(), m_buffer.data(), chunk, m_targetPath);
        copied += chunk;
        const int percent = static_cast<int>(copied * 100 / length);
        if (m_showProgress && percent != shownPercent) {
            shownPercent = percent;
            std::printf("\r%s",
                        FormatText(Texts::StubProgress,
                                   {std::to_string(pieceNumber), std::to_string(m_blockCount),
                                    FileNamePart(path), std::to_string(percent)})
                            .c_str());
            std::fflush(stdout);
        }
    }
    if (m_showProgress && length > 0)
        std::printf("\n");
}

void TSelfJoiner::CopyLaterPieces() {
    std::string piecePath = m_ownPath;
    for (int64_t number = 2; number <= m_layout.blockCount; ++number) {
        piecePath = ReplaceExtension(piecePath, "." + ZeroPad(number - 1, 3));
        // Only a regular file is a piece: a FIFO would block the join for ever.
        TFileHandle piece(OpenRegularFile(piecePath));
        if (piece.Fd() < 0) {
            if (errno == ENOENT || errno == EINVAL)
                throw EStubError(FormatText(Texts::StubPieceMissing, {piecePath}));
            throw EStubError(FormatText(Texts::StubCannotOpen, {piecePath, Reason(errno)}));
        }
        struct stat status {};
        if (fstat(piece.Fd(), &status) != 0)
            throw EStubError(FormatText(Texts::StubReadFailed, {piecePath, Reason(errno)}));
        const int64_t pieceSize = static_cast<int64_t>(status.st_size);
        const int64_t expected = m_layout.ExpectedPieceSize(number);
        // Any other size means a damaged piece or one from another set.
        if (pieceSize != expected)
            throw EStubError(
                FormatText(Texts::StubPieceWrongSize,
                           {piecePath, std::to_string(pieceSize), std::to_string(expected)}));
        CopyRange(piece.Fd(), piecePath, 0, static_cast<uint64_t>(expected),
                  static_cast<uint64_t>(number));
    }
}

void TSelfJoiner::Finish() {
    const bool hasTimes = m_signature.version == TSignatureVersion::sv110;
    if (hasTimes &&
        !ApplyFileDosTimes(m_output.Fd(), m_signature.lastAccessTime, m_signature.lastWriteTime))
        std::fprintf(
            stderr, "%s\n",
            FormatText(Texts::StubTimesNotRestored, {m_targetPath, Reason(errno)}).c_str());
    // A file that appeared at the target since it was checked is never
    // replaced without the user's word.
    if (const int error = m_output.Commit(m_replaceAllowed))
        throw EStubError(FormatText(Texts::StubRenameFailed, {m_targetPath, Reason(error)}));
    g_temporaryPath[0] = '\0';
    if (hasTimes && !ApplyFileAttributes(m_targetPath, m_signature.attributes))
        std::fprintf(
            stderr, "%s\n",
            FormatText(Texts::StubAttributesNotRestored, {m_targetPath, Reason(errno)}).c_str());
}

int TSelfJoiner::Run() {
    ReadOwnSignature();
    CheckTarget();

    if (const int error = m_output.Create(m_targetPath))
        throw EStubError(
            FormatText(Texts::StubCannotCreate, {FolderPart(m_targetPath), Reason(error)}));
    RememberTemporaryPath(m_output.TemporaryPath());

    // Every piece's size was or is checked against the layout, so the set
    // ends exactly at the stored size; a stray later piece is not the file's.
    CopyRange(m_own.Fd(), m_ownPath, m_dataStart, m_ownSize - m_dataStart, 1);
    CopyLaterPieces();
    Finish();
    std::printf("%s\n", FormatText(Texts::StubDone, {m_targetPath}).c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    WatchInterrupts();
    const bool keepOriginalExt = argc > 1 && std::strcmp(argv[1], "-keepext") == 0;
    try {
        TSelfJoiner joiner(keepOriginalExt);
        return joiner.Run();
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "\n%s\n", error.what());
    }
    if (g_temporaryPath[0] != '\0')
        unlink(g_temporaryPath);
    return 1;
}
