#pragma once

#include "engine/Sha256.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TFileCopier;

// Hashes what a split, unite or verify moves, beside the copy: one thread
// keeps the current piece's SHA-256, another the whole file's, so on a machine
// with two cores hashing costs little wall time. The bytes pass through a small
// ring of buffers that the hashing threads release in order; memory stays at
// a few MiB whatever the file size.
class TChecksumPipeline {
public:
    // Reads are at most min(bufferSize, 512 KiB) bytes. Without `wholeDigest`
    // only the pieces are hashed (a verify reads no whole file).
    TChecksumPipeline(int64_t bufferSize, bool wholeDigest);
    ~TChecksumPipeline();
    TChecksumPipeline(const TChecksumPipeline&) = delete;
    TChecksumPipeline& operator=(const TChecksumPipeline&) = delete;

    // Reads up to `length` bytes of `sourceFd` from `sourceOffset` (advanced by
    // what was read), writes them at the current position of `targetFd` unless
    // it is below 0, and hashes them into the current piece and, with
    // `intoWhole`, into the whole file. Returns the bytes read, fewer than
    // `length` only at the source's end. Failures are EEngineError.
    int64_t Copy(int sourceFd, int64_t& sourceOffset, const std::string& sourcePath, int targetFd,
                 const std::string& targetPath, int64_t length, bool intoWhole,
                 TFileCopier& writer);
    // Bytes the current piece gets from memory (a signature): the piece's only.
    void AddPieceBytes(const std::string& bytes);
    // Ends the current piece; its digest is the next in PieceDigest's order.
    void EndPiece();

    // How many pieces have their digest already; never waits.
    std::size_t FinishedPieces();
    TSha256Digest PieceDigest(std::size_t index);
    // Waits until everything handed in is hashed; the whole file's digest.
    TSha256Digest Finish();

private:
    enum class TSlotKind { skBytes, skEndPiece };
    struct TSlot {
        std::vector<char> data;
        std::size_t length = 0;
        TSlotKind kind = TSlotKind::skBytes;
        bool intoWhole = false;
    };

    TSlot& AcquireSlot();
    void Publish();
    void RunPieces();
    void RunWhole();
    void Fail();
    void RethrowFailure();

    std::size_t m_capacity;
    bool m_wholeDigest;
    std::vector<TSlot> m_slots;
    TSha256 m_pieceHash;
    TSha256 m_wholeHash;
    std::vector<TSha256Digest> m_pieceDigests;

    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_space;
    uint64_t m_produced = 0;
    uint64_t m_pieceDone = 0;
    uint64_t m_wholeDone = 0;
    bool m_stopping = false;
    std::exception_ptr m_failure;
    std::thread m_pieceThread;
    std::thread m_wholeThread;
};
