#include "engine/EngineErrors.h"

#include <cstring>

namespace {

const char* FaultText(TEngineFault fault) {
    switch (fault) {
    case TEngineFault::efBadBlockSize:
        return "block size below 1";
    case TEngineFault::efBadBufferSize:
        return "buffer size below 1";
    case TEngineFault::efBlockNotLargerThanHeader:
        return "block size not larger than the header of the first piece";
    case TEngineFault::efFileTooLargeForSignature:
        return "file larger than 2147483647 bytes cannot carry a signature";
    case TEngineFault::efTooManyBlocks:
        return "more than 65535 blocks cannot carry a signature";
    case TEngineFault::efSameAsSource:
        return "a file to be written is the source file itself";
    case TEngineFault::efOpenFailed:
        return "cannot open";
    case TEngineFault::efCreateFailed:
        return "cannot create";
    case TEngineFault::efReadFailed:
        return "cannot read";
    case TEngineFault::efWriteFailed:
        return "cannot write";
    case TEngineFault::efDeleteFailed:
        return "cannot delete";
    case TEngineFault::efRenameFailed:
        return "cannot move the finished file into place";
    case TEngineFault::efIncompleteSet:
        return "the set is incomplete, missing piece";
    case TEngineFault::efUnsafeExtension:
        return "the stored extension cannot end a file name";
    case TEngineFault::efStubUnreadable:
        return "cannot read the stub";
    case TEngineFault::efSameAsStub:
        return "a file to be written is the stub itself";
    case TEngineFault::efStubDamaged:
        return "the stub is no program image";
    case TEngineFault::efDamagedSignature:
        return "the signature is damaged";
    case TEngineFault::efPieceWrongSize:
        return "a piece has the wrong size";
    case TEngineFault::efUnsafeBatchName:
        return "a name cannot be written into the batch file safely";
    case TEngineFault::efChecksumFileDamaged:
        return "the checksum file is damaged or belongs to another set";
    case TEngineFault::efChecksumMismatch:
        return "a piece does not match its checksum";
    case TEngineFault::efWholeChecksumMismatch:
        return "the rebuilt file does not match its checksum";
    }
    return "engine error";
}

std::string WhatText(TEngineFault fault, const std::string& path, int systemError) {
    std::string text = FaultText(fault);
    if (!path.empty())
        text += ": " + path;
    if (systemError != 0)
        text += std::string(": ") + std::strerror(systemError);
    return text;
}

} // namespace

EEngineError::EEngineError(TEngineFault fault, std::string path, int systemError)
    : std::runtime_error(WhatText(fault, path, systemError)), m_fault(fault),
      m_path(std::move(path)), m_systemError(systemError) {}

EEngineError EEngineError::WrongSize(std::string path, int64_t actualSize, int64_t expectedSize) {
    EEngineError error(TEngineFault::efPieceWrongSize, std::move(path));
    error.m_actualSize = actualSize;
    error.m_expectedSize = expectedSize;
    return error;
}
