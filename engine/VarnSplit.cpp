#include "engine/VarnSplit.h"

#include "engine/FileUtils.h"
#include "engine/Signature.h"

#include <limits>

std::string NextPiecePath(const std::string& path, int64_t pieceNumber, bool winSplitCompatible) {
    return ReplaceExtension(path,
                            "." + ZeroPad(winSplitCompatible ? pieceNumber + 1 : pieceNumber, 3));
}

TVarnSplit::TVarnSplit(IEngineReporter* reporter) : m_reporter(reporter) {}

TVarnSplit::~TVarnSplit() = default;

void TVarnSplit::SetFileName(const std::string& value) {
    if (value != m_fileName)
        m_fileName = value;
    // Until a caller names the first piece, it lies beside the whole file.
    if (!m_splitNameSet) {
        const std::string trimmed = TrimControl(value);
        m_splitFileName = m_keepOriginalExt ? trimmed + ".vrn" : ReplaceExtension(trimmed, ".vrn");
    }
}

void TVarnSplit::SetSplitFileName(const std::string& value) {
    if (value != m_splitFileName) {
        m_splitFileName = value;
        m_splitNameSet = true;
    }
}

void TVarnSplit::SetSize(int64_t value) {
    if (value != m_size)
        m_size = value;
}

void TVarnSplit::SetBufferSize(int64_t value) {
    if (value != m_bufferSize)
        m_bufferSize = value;
}

void TVarnSplit::SetDOSCompatible(bool value) {
    if (value != m_dosCompatible)
        m_dosCompatible = value;
}

void TVarnSplit::SetDelAfterUnite(bool value) {
    if (value != m_delAfterUnite)
        m_delAfterUnite = value;
}

std::string TVarnSplit::FirstPieceExtension() const {
    if (m_winSplitCompatible)
        return ".001";
    if (m_dosCompatible || !m_fullSignature)
        return ".dos";
    if (m_makeSUB)
        return ".exe";
    return ".vrn";
}

void TVarnSplit::Report(TEngineMessage message, const std::string& path) {
    if (m_reporter != nullptr)
        m_reporter->Report(message, path);
}

void TVarnSplit::RaiseProgress(int64_t done, int64_t whole) {
    if (!OnProgress || whole <= 0)
        return;
    // done * 100 may not fit for sizes near the 64-bit limit; divide first there.
    int64_t percent = done <= std::numeric_limits<int64_t>::max() / 100
                          ? done * 100 / whole
                          : done / (whole / 100 > 0 ? whole / 100 : 1);
    if (percent > 100)
        percent = 100;
    OnProgress(*this, static_cast<uint16_t>(percent < 0 ? 0 : percent));
}

void TVarnSplit::ResetInspection() {
    m_originalSize = 0;
    m_originalSizeKnown = false;
    m_originalExt.clear();
    m_blockCount = 0;
    m_comment.clear();
    m_attributes = 0;
    m_fullSignature = false;
    m_version100 = false;
    m_winSplitCompatible = false;
}

void TVarnSplit::TakeSignature(const TSignature& signature) {
    m_originalExt = TextFromStoredBytes(signature.extension);
    m_originalSize = signature.wholeFileSize;
    m_originalSizeKnown = signature.wholeFileSize >= 0;
    m_blockCount = signature.blockCount;
    if (signature.version == TSignatureVersion::sv100) {
        m_version100 = true;
        return;
    }
    m_version100 = false;
    m_fullSignature = signature.flag != 0;
    m_attributes = signature.attributes;
    m_creationTime = signature.creationTime;
    m_lastAccessTime = signature.lastAccessTime;
    m_lastWriteTime = signature.lastWriteTime;
    m_comment = TextFromStoredBytes(signature.comment);
}
