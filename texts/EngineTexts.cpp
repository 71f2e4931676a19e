#include "texts/EngineTexts.h"

#include "texts/ChecksumTexts.h"
#include "texts/Texts.h"

#include <system_error>

std::string EngineMessageText(TEngineMessage message, const std::string& path) {
    switch (message) {
    case TEngineMessage::emInputFileMissing:
        return FormatText(Texts::EngineInputFileMissing, {path});
    case TEngineMessage::emPieceFileMissing:
        return FormatText(Texts::EnginePieceFileMissing, {path});
    case TEngineMessage::emUnknownSignature:
        return Texts::EngineUnknownSignature;
    }
    return Texts::FaultUnknown;
}

std::string SystemErrorText(int systemError) {
    // The error category's message is thread-safe, unlike strerror.
    return std::error_code(systemError, std::generic_category()).message();
}

namespace {

const char* FaultPattern(TEngineFault fault) {
    switch (fault) {
    case TEngineFault::efBadBlockSize:
        return Texts::FaultBadBlockSize;
    case TEngineFault::efBadBufferSize:
        return Texts::FaultBadBufferSize;
    case TEngineFault::efBlockNotLargerThanHeader:
        return Texts::FaultBlockNotLargerThanHeader;
    case TEngineFault::efFileTooLargeForSignature:
        return Texts::FaultFileTooLargeForSignature;
    case TEngineFault::efTooManyBlocks:
        return Texts::FaultTooManyBlocks;
    case TEngineFault::efSameAsSource:
        return Texts::FaultSameAsSource;
    case TEngineFault::efOpenFailed:
        return Texts::FaultOpenFailed;
    case TEngineFault::efCreateFailed:
        return Texts::FaultCreateFailed;
    case TEngineFault::efReadFailed:
        return Texts::FaultReadFailed;
    case TEngineFault::efWriteFailed:
        return Texts::FaultWriteFailed;
    case TEngineFault::efDeleteFailed:
        return Texts::FaultDeleteFailed;
    case TEngineFault::efRenameFailed:
        return Texts::FaultRenameFailed;
    case TEngineFault::efIncompleteSet:
        return Texts::FaultIncompleteSet;
    case TEngineFault::efStubUnreadable:
        return Texts::FaultStubUnreadable;
    case TEngineFault::efUnsafeExtension:
        return Texts::FaultUnsafeExtension;
    case TEngineFault::efSameAsStub:
        return Texts::FaultSameAsStub;
    case TEngineFault::efStubDamaged:
        return Texts::FaultStubDamaged;
    case TEngineFault::efDamagedSignature:
        return Texts::FaultDamagedSignature;
    case TEngineFault::efPieceWrongSize:
        return Texts::FaultPieceWrongSize;
    case TEngineFault::efUnsafeBatchName:
        return Texts::FaultUnsafeBatchName;
    case TEngineFault::efChecksumFileDamaged:
        return Texts::FaultChecksumFileDamaged;
    case TEngineFault::efChecksumMismatch:
        return Texts::FaultChecksumMismatch;
    case TEngineFault::efWholeChecksumMismatch:
        return Texts::FaultWholeChecksumMismatch;
    }
    return Texts::FaultUnknown;
}

} // namespace

std::string EngineFaultText(const EEngineError& error) {
    std::string text = error.Fault() == TEngineFault::efPieceWrongSize
                           ? FormatText(FaultPattern(error.Fault()),
                                        {error.Path(), std::to_string(error.ActualSize()),
                                         std::to_string(error.ExpectedSize())})
                           : FormatText(FaultPattern(error.Fault()), {error.Path()});
    if (error.SystemError() == 0) {
        if (text.empty() || text.back() != '.')
            text += '.';
        return text;
    }
    // The reason goes after the sentence that names the file.
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text + ": " + SystemErrorText(error.SystemError()) + ".";
}

std::string PieceCheckText(const TPieceCheck& piece) {
    switch (piece.state) {
    case TPieceState::psGood:
        return FormatText(Texts::VerifyPieceGood, {piece.path});
    case TPieceState::psPresent:
        return FormatText(Texts::VerifyPiecePresent, {piece.path});
    case TPieceState::psDamaged:
        return FormatText(Texts::VerifyPieceDamaged, {piece.path});
    case TPieceState::psWrongSize:
        return FormatText(Texts::VerifyPieceWrongSize, {piece.path, std::to_string(piece.size),
                                                        std::to_string(piece.expectedSize)});
    case TPieceState::psMissing:
        return FormatText(Texts::VerifyPieceMissing, {piece.path});
    case TPieceState::psNotListed:
        return FormatText(Texts::VerifyPieceNotListed, {piece.path});
    }
    return piece.path;
}

std::string SetCheckSummaryText(const TSetCheck& check) {
    const int64_t damaged = check.Count(TPieceState::psDamaged) +
                            check.Count(TPieceState::psWrongSize) +
                            check.Count(TPieceState::psNotListed);
    std::string text =
        FormatText(Texts::VerifySummary,
                   {std::to_string(check.pieces.size()),
                    std::to_string(check.Count(TPieceState::psGood)), std::to_string(damaged),
                    std::to_string(check.Count(TPieceState::psMissing))}) +
        "\n";
    if (!check.checksumsAvailable)
        text += FormatText(Texts::VerifyNoChecksums, {check.checksumFile}) + "\n";
    text += check.Intact()
                ? (check.checksumsAvailable ? Texts::VerifyIntact : Texts::VerifySizesRight)
                : Texts::VerifyNotIntact;
    return text + "\n";
}
