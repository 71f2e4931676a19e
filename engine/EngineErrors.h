#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// The three messages the engine reports itself; the caller supplies the texts
// (a message box in the window, standard error on the command line).
enum class TEngineMessage {
    emInputFileMissing, // split: FileName does not exist
    emPieceFileMissing, // unite: SplitFileName does not exist
    emUnknownSignature, // unite: the first piece has neither signature
};

class TVarnSplit;

// Receives the engine's own messages. `path` is the file the message is about.
class IEngineReporter {
public:
    virtual ~IEngineReporter() = default;
    virtual void Report(TEngineMessage message, const std::string& path) = 0;
};

// Why an operation failed or was refused. The caller turns the code into a
// user-visible text; `Path()` names the file concerned.
enum class TEngineFault {
    efBadBlockSize,             // Size below 1
    efBadBufferSize,            // BufferSize below 1
    efBlockNotLargerThanHeader, // Size not larger than the header of piece 1
    efFileTooLargeForSignature, // whole file over 2,147,483,647 bytes in a signed mode
    efTooManyBlocks,            // more than 65,535 blocks in a signed mode
    efSameAsSource,             // a file to be written is the source file itself
    efOpenFailed,               // a file could not be opened for reading
    efCreateFailed,             // a file could not be created
    efReadFailed,               // a read failed
    efWriteFailed,              // a write stored fewer bytes than asked (full disk, I/O error)
    efDeleteFailed,             // an existing file could not be replaced
    efRenameFailed,             // the finished file could not be moved into place
    efIncompleteSet,         // the join ended before the stored size; Path() is the missing piece
    efStubUnreadable,        // the stub file could not be read
    efUnsafeExtension,       // the stored extension holds "/" or NUL and cannot end a file name
    efSameAsStub,            // a file to be written is the stub the split copies from
    efStubDamaged,           // the stub file does not start with a program image
    efDamagedSignature,      // the signature's size or block count cannot describe the set
    efPieceWrongSize,        // a piece is not as long as its place in the set demands
    efUnsafeBatchName,       // a name cannot be written into the batch file safely
    efChecksumFileDamaged,   // the checksum file cannot be read or does not describe the set
    efChecksumMismatch,      // a piece's SHA-256 differs from the checksum file's
    efWholeChecksumMismatch, // the rebuilt whole file's SHA-256 differs from the checksum file's
};

// A failure of split or unite: a fault code, the file it is about and, where
// the system gave one, its errno.
class EEngineError : public std::runtime_error {
public:
    EEngineError(TEngineFault fault, std::string path, int systemError = 0);
    // efPieceWrongSize: the piece at `path` holds `actualSize` bytes, not `expectedSize`.
    static EEngineError WrongSize(std::string path, int64_t actualSize, int64_t expectedSize);

    TEngineFault Fault() const { return m_fault; }
    const std::string& Path() const { return m_path; }
    int SystemError() const { return m_systemError; }
    int64_t ActualSize() const { return m_actualSize; }
    int64_t ExpectedSize() const { return m_expectedSize; }

private:
    TEngineFault m_fault;
    std::string m_path;
    int m_systemError;
    int64_t m_actualSize = 0;
    int64_t m_expectedSize = 0;
};
