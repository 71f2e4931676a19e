#include "engine/ChecksumPipeline.h"

#include "engine/EngineErrors.h"
#include "engine/FileCopier.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {

constexpr int64_t MaxChunk = 512 << 10;
// Enough chunks in flight that neither hashing thread waits on the copy, and
// few enough that the ring stays at 4 MiB at most.
constexpr std::size_t SlotCount = 8;

} // namespace

TChecksumPipeline::TChecksumPipeline(int64_t bufferSize, bool wholeDigest)
    : m_capacity(static_cast<std::size_t>(std::clamp<int64_t>(bufferSize, 1, MaxChunk))),
      m_wholeDigest(wholeDigest), m_slots(SlotCount) {
    m_pieceThread = std::thread([this] { RunPieces(); });
    if (m_wholeDigest)
        m_wholeThread = std::thread([this] { RunWhole(); });
}

TChecksumPipeline::~TChecksumPipeline() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_work.notify_all();
    if (m_pieceThread.joinable())
        m_pieceThread.join();
    if (m_wholeThread.joinable())
        m_wholeThread.join();
}

void TChecksumPipeline::RethrowFailure() {
    if (m_failure)
        std::rethrow_exception(m_failure);
}

TChecksumPipeline::TSlot& TChecksumPipeline::AcquireSlot() {
    std::unique_lock lock(m_mutex);
    m_space.wait(lock, [this] {
        const uint64_t released = m_wholeDigest ? std::min(m_pieceDone, m_wholeDone) : m_pieceDone;
        return m_failure || m_produced - released < SlotCount;
    });
    RethrowFailure();
    TSlot& slot = m_slots[m_produced % SlotCount];
    if (slot.data.size() < m_capacity)
        slot.data.resize(m_capacity);
    return slot;
}

void TChecksumPipeline::Publish() {
    {
        std::lock_guard lock(m_mutex);
        ++m_produced;
    }
    m_work.notify_all();
}

void TChecksumPipeline::Fail() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_failure)
            m_failure = std::current_exception();
    }
    m_space.notify_all();
}

void TChecksumPipeline::RunPieces() {
    try {
        while (true) {
            std::unique_lock lock(m_mutex);
            m_work.wait(lock, [this] { return m_stopping || m_pieceDone < m_produced; });
            if (m_pieceDone == m_produced)
                return;
            const TSlot& slot = m_slots[m_pieceDone % SlotCount];
            lock.unlock();
            if (slot.kind == TSlotKind::skEndPiece) {
                const TSha256Digest digest = m_pieceHash.Finish();
                lock.lock();
                m_pieceDigests.push_back(digest);
            } else {
                m_pieceHash.Update(slot.data.data(), slot.length);
                lock.lock();
            }
            ++m_pieceDone;
            lock.unlock();
            m_space.notify_all();
        }
    } catch (...) {
        Fail();
    }
}

void TChecksumPipeline::RunWhole() {
    try {
        while (true) {
            std::unique_lock lock(m_mutex);
            m_work.wait(lock, [this] { return m_stopping || m_wholeDone < m_produced; });
            if (m_wholeDone == m_produced)
                return;
            const TSlot& slot = m_slots[m_wholeDone % SlotCount];
            lock.unlock();
            if (slot.kind == TSlotKind::skBytes && slot.intoWhole)
                m_wholeHash.Update(slot.data.data(), slot.length);
            lock.lock();
            ++m_wholeDone;
            lock.unlock();
            m_space.notify_all();
        }
    } catch (...) {
        Fail();
    }
}

int64_t TChecksumPipeline::Copy(int sourceFd, int64_t& sourceOffset, const std::string& sourcePath,
                                int targetFd, const std::string& targetPath, int64_t length,
                                bool intoWhole, TFileCopier& writer) {
    int64_t copied = 0;
    while (copied < length) {
        TSlot& slot = AcquireSlot();
        const std::size_t want =
            static_cast<std::size_t>(std::min<int64_t>(length - copied, m_capacity));
        ssize_t got = 0;
        do
            got = pread(sourceFd, slot.data.data(), want, static_cast<off_t>(sourceOffset));
        while (got < 0 && errno == EINTR);
        if (got < 0)
            throw EEngineError(TEngineFault::efReadFailed, sourcePath, errno);
        if (got == 0)
            break;
        slot.length = static_cast<std::size_t>(got);
        slot.kind = TSlotKind::skBytes;
        slot.intoWhole = intoWhole;
        // The hashing threads only read the slot, so it is handed to them
        // before it is written out and both run at once.
        Publish();
        if (targetFd >= 0)
            writer.WriteAll(targetFd, slot.data.data(), slot.length, targetPath);
        sourceOffset += got;
        copied += got;
    }
    return copied;
}

void TChecksumPipeline::AddPieceBytes(const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        TSlot& slot = AcquireSlot();
        slot.length = std::min(bytes.size() - done, m_capacity);
        std::copy_n(bytes.data() + done, slot.length, slot.data.data());
        slot.kind = TSlotKind::skBytes;
        slot.intoWhole = false;
        Publish();
        done += slot.length;
    }
}

void TChecksumPipeline::EndPiece() {
    TSlot& slot = AcquireSlot();
    slot.length = 0;
    slot.kind = TSlotKind::skEndPiece;
    slot.intoWhole = false;
    Publish();
}

std::size_t TChecksumPipeline::FinishedPieces() {
    std::lock_guard lock(m_mutex);
    RethrowFailure();
    return m_pieceDigests.size();
}

TSha256Digest TChecksumPipeline::PieceDigest(std::size_t index) {
    std::lock_guard lock(m_mutex);
    return m_pieceDigests.at(index);
}

TSha256Digest TChecksumPipeline::Finish() {
    std::unique_lock lock(m_mutex);
    m_space.wait(lock, [this] {
        return m_failure ||
               (m_pieceDone == m_produced && (!m_wholeDigest || m_wholeDone == m_produced));
    });
    RethrowFailure();
    return m_wholeHash.Finish();
}
