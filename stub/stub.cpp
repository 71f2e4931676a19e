// The self-joining stub: copied byte for byte at the start of the first piece
// of a self-joining set (name.exe). Run as that piece, it finds the signature
// that follows its own image and rebuilds the whole file beside itself from its
// own data and the later pieces name.001, name.002, ... The same source builds
// the Linux stub and the Windows one; StubSystem.h is all that differs.

#include "StubSystem.h"
#include "engine/ExecutableImage.h"
#include "engine/FileUtils.h"
#include "engine/SetLayout.h"
#include "engine/SetNames.h"
#include "engine/Signature.h"
#include "texts/TextFormat.h"
#include "texts/Texts.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr size_t CopyBufferSize = 1 << 20;
constexpr size_t MaxSignatureLength =
    SignatureFixedLength + Signature110MaxExtension + Signature110MaxComment;

// A failure that ends the run: its text is already in the user's words.
class EStubError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void Say(const std::string& text) {
    WriteOut(text + "\n");
}

// Says yes only when a person at the terminal answers yes.
bool UserAllowsReplacing(const std::string& shownTarget) {
    Say(FormatText(Texts::StubTargetExists, {shownTarget}));
    if (!InputIsTerminal())
        throw EStubError(FormatText(Texts::StubNoTerminalRefusal, {shownTarget}));
    WriteOut(Texts::StubAskOverwrite);
    std::string reply;
    if (!ReadAnswerLine(reply))
        return false;
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
    void CopyRange(TInputFile& file, const std::string& path, uint64_t offset, uint64_t length,
                   uint64_t pieceNumber);
    void CopyLaterPieces();
    void Finish();

    bool m_keepOriginalExt;
    std::string m_ownPath;
    TInputFile m_own;
    uint64_t m_ownSize = 0;
    uint64_t m_dataStart = 0;
    TSignature m_signature;
    TSetLayout m_layout;
    uint64_t m_blockCount = 0;
    std::string m_targetPath;
    bool m_replaceAllowed = false;
    TOutputFile m_output;
    std::vector<char> m_buffer = std::vector<char>(CopyBufferSize);
    bool m_showProgress = OutputIsTerminal();
};

void TSelfJoiner::ReadOwnSignature() {
    std::string reason;
    if (!OwnProgramPath(m_ownPath, reason))
        throw EStubError(FormatText(Texts::StubCannotOpen, {Texts::StubOwnProgram, reason}));
    const std::string shown = DisplayPath(m_ownPath);
    if (m_own.OpenOwnProgram() != TOpenResult::orOpened)
        throw EStubError(FormatText(Texts::StubCannotOpen, {shown, LastFailureReason()}));
    m_ownSize = m_own.Size();

    const uint64_t stubLength = ExecutableImageLength(
        [this](uint64_t offset, unsigned char* buffer, size_t length) {
            return m_own.ReadAt(offset, reinterpret_cast<char*>(buffer), length);
        },
        m_ownSize);
    if (stubLength == 0 || stubLength >= m_ownSize)
        throw EStubError(FormatText(Texts::StubNoSignature, {shown}));
    const size_t available =
        static_cast<size_t>(std::min<uint64_t>(m_ownSize - stubLength, MaxSignatureLength));
    std::vector<char> header(available);
    if (!m_own.ReadAt(stubLength, header.data(), available))
        throw EStubError(FormatText(Texts::StubReadFailed, {shown, LastFailureReason()}));
    const auto* headerBytes = reinterpret_cast<const unsigned char*>(header.data());
    std::optional<TSignature> signature = ParseSignature(headerBytes, available);
    if (!signature)
        throw EStubError(FormatText(Texts::StubNoSignature, {shown}));
    m_signature = *signature;
    m_dataStart = stubLength + SignatureLength(headerBytes, available);

    // Every piece but the last is as long as this one, so the block count the
    // signature stores tells whether this piece is whole.
    const std::optional<TSetLayout> layout =
        KnownSizeLayout(static_cast<int64_t>(m_ownSize), static_cast<int64_t>(m_dataStart),
                        m_signature.wholeFileSize);
    if (!layout || !StoredBlockCountFits(*layout, m_signature.blockCount))
        throw EStubError(FormatText(Texts::StubFirstPieceDamaged, {shown}));
    m_layout = *layout;
    m_blockCount = static_cast<uint64_t>(m_layout.blockCount);
    const int64_t expected = m_layout.ExpectedPieceSize(1);
    if (static_cast<int64_t>(m_ownSize) != expected)
        throw EStubError(FormatText(Texts::StubPieceWrongSize,
                                    {shown, std::to_string(m_ownSize), std::to_string(expected)}));
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
    const std::string extension = TextFromStoredBytes(m_signature.extension);
    const std::optional<std::string> target =
        ExtensionUsableHere(extension) ? WholeFilePathFor(m_ownPath, extension, m_keepOriginalExt)
                                       : std::nullopt;
    if (!target)
        throw EStubError(FormatText(Texts::StubBadExtension, {DisplayPath(m_ownPath)}));
    m_targetPath = *target;
    const std::string shown = DisplayPath(m_targetPath);

    Say(Texts::StubTitle);
    Say(FormatText(Texts::StubFile, {shown}));
    Say(FormatText(Texts::StubSize, {std::to_string(m_signature.wholeFileSize)}));
    Say(FormatText(Texts::StubBlocks, {std::to_string(m_blockCount)}));
    if (!m_signature.comment.empty())
        Say(FormatText(Texts::StubComment, {CommentForTerminal()}));

    switch (KindOfPath(m_targetPath)) {
    case TPathKind::pkNone:
        break;
    case TPathKind::pkFolder:
        throw EStubError(FormatText(Texts::StubTargetIsFolder, {shown}));
    case TPathKind::pkFile:
        if (!UserAllowsReplacing(shown))
            throw EStubError(FormatText(Texts::StubNotReplaced, {shown}));
        m_replaceAllowed = true;
        break;
    }
}

void TSelfJoiner::CopyRange(TInputFile& file, const std::string& path, uint64_t offset,
                            uint64_t length, uint64_t pieceNumber) {
    int shownPercent = -1;
    for (uint64_t copied = 0; copied < length;) {
        const size_t chunk =
            static_cast<size_t>(std::min<uint64_t>(length - copied, m_buffer.size()));
        if (!file.ReadAt(offset + copied, m_buffer.data(), chunk))
            throw EStubError(
                FormatText(Texts::StubReadFailed, {DisplayPath(path), LastFailureReason()}));
        if (!m_output.Write(m_buffer.data(), chunk))
            throw EStubError(FormatText(Texts::StubWriteFailed,
                                        {DisplayPath(m_targetPath), LastFailureReason()}));
        copied += chunk;
        const int percent = static_cast<int>(copied * 100 / length);
        if (m_showProgress && percent != shownPercent) {
            shownPercent = percent;
            WriteOut("\r" + FormatText(Texts::StubProgress,
                                       {std::to_string(pieceNumber), std::to_string(m_blockCount),
                                        FileNamePart(path), std::to_string(percent)}));
        }
    }
    if (m_showProgress && length > 0)
        WriteOut("\n");
}

void TSelfJoiner::CopyLaterPieces() {
    std::string piecePath = m_ownPath;
    for (int64_t number = 2; number <= m_layout.blockCount; ++number) {
        piecePath = ReplaceExtension(piecePath, "." + ZeroPad(number - 1, 3));
        const std::string shown = DisplayPath(piecePath);
        TInputFile piece;
        switch (piece.Open(piecePath)) {
        case TOpenResult::orOpened:
            break;
        case TOpenResult::orMissing:
            throw EStubError(FormatText(Texts::StubPieceMissing, {shown}));
        case TOpenResult::orFailed:
            throw EStubError(FormatText(Texts::StubCannotOpen, {shown, LastFailureReason()}));
        }
        const int64_t pieceSize = static_cast<int64_t>(piece.Size());
        const int64_t expected = m_layout.ExpectedPieceSize(number);
        // Any other size means a damaged piece or one from another set.
        if (pieceSize != expected)
            throw EStubError(
                FormatText(Texts::StubPieceWrongSize,
                           {shown, std::to_string(pieceSize), std::to_string(expected)}));
        CopyRange(piece, piecePath, 0, static_cast<uint64_t>(expected),
                  static_cast<uint64_t>(number));
    }
}

void TSelfJoiner::Finish() {
    const std::string shown = DisplayPath(m_targetPath);
    const bool hasTimes = m_signature.version == TSignatureVersion::sv110;
    if (hasTimes && !m_output.SetTimes(m_signature.creationTime, m_signature.lastAccessTime,
                                       m_signature.lastWriteTime))
        WriteErr(FormatText(Texts::StubTimesNotRestored, {shown, LastFailureReason()}) + "\n");
    if (!m_output.Commit(m_replaceAllowed))
        throw EStubError(FormatText(Texts::StubRenameFailed, {shown, LastFailureReason()}));
    if (hasTimes && !m_output.SetAttributes(m_signature.attributes))
        WriteErr(FormatText(Texts::StubAttributesNotRestored, {shown, LastFailureReason()}) + "\n");
}

int TSelfJoiner::Run() {
    ReadOwnSignature();
    CheckTarget();

    if (!m_output.Create(m_targetPath))
        throw EStubError(FormatText(Texts::StubCannotCreate,
                                    {DisplayPath(FolderPart(m_targetPath)), LastFailureReason()}));
    // Every piece's size was or is checked against the layout, so the set
    // ends exactly at the stored size; a stray later piece is not the file's.
    CopyRange(m_own, m_ownPath, m_dataStart, m_ownSize - m_dataStart, 1);
    CopyLaterPieces();
    Finish();
    Say(FormatText(Texts::StubDone, {DisplayPath(m_targetPath)}));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    PrepareStubSystem();
    const bool keepOriginalExt = argc > 1 && std::strcmp(argv[1], "-keepext") == 0;
    int status = 1;
    try {
        // The joiner's files are closed, and a half-built file removed, before
        // the last words are said.
        TSelfJoiner joiner(keepOriginalExt);
        status = joiner.Run();
    } catch (const std::exception& error) {
        WriteErr(std::string("\n") + error.what() + "\n");
    }
    if (ConsoleClosesAtExit()) {
        WriteOut(Texts::StubPressEnter);
        std::string line;
        ReadAnswerLine(line);
    }
    return status;
}
