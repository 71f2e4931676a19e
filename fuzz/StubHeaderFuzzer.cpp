// Feeds arbitrary bytes as a self-joining first piece: the program image is
// measured from its ELF or PE headers, then the signature is looked for where the
// image ends and, as for a plain piece, at the start.

#include "FuzzCheck.h"
#include "engine/EngineErrors.h"
#include "engine/SelfJoin.h"
#include "engine/Signature.h"
#include "engine/SignatureFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// One memory-backed file for the whole run: StubLengthOf opens a path, and
// /proc/self/fd names this file without touching any disk.
int PieceFd() {
    static const int fd = memfd_create("varn-fuzz-piece", MFD_CLOEXEC);
    if (fd < 0) {
        std::perror("memfd_create");
        std::abort();
    }
    return fd;
}

void WritePiece(int fd, const uint8_t* data, std::size_t size) {
    if (ftruncate(fd, 0) != 0) {
        std::perror("ftruncate");
        std::abort();
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t wrote = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (wrote <= 0) {
            std::perror("pwrite");
            std::abort();
        }
        done += static_cast<std::size_t>(wrote);
    }
}

// The signature read from the file must be the one the bytes in memory hold.
void CheckSignatureAt(int fd, int64_t offset, const std::string& path, const uint8_t* data,
                      std::size_t size) {
    std::optional<TSignature> read;
    try {
        read = ReadSignatureAt(fd, offset, path);
    } catch (const EEngineError&) {
        // Reading a memory file should not fail, but if it does, a reported
        // error is how the engine is meant to say so.
        return;
    }
    const std::size_t start = static_cast<std::size_t>(offset);
    const std::optional<TSignature> parsed =
        start <= size ? ParseSignature(data + start, size - start) : std::nullopt;
    FUZZ_REQUIRE(SameSignature(read, parsed));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = PieceFd();
    WritePiece(fd, data, size);
    const std::string path = "/proc/self/fd/" + std::to_string(fd);

    const int64_t stubLength = StubLengthOf(path);
    // The image is a part of the file, at least its own ELF header (52 bytes
    // for the 32-bit class) or its Windows DOS, PE and optional headers.
    FUZZ_REQUIRE(stubLength >= 0 && static_cast<uint64_t>(stubLength) <= size);
    FUZZ_REQUIRE(stubLength == 0 || stubLength >= 52);

    CheckSignatureAt(fd, stubLength, path, data, size);
    if (stubLength != 0)
        CheckSignatureAt(fd, 0, path, data, size);
    // Past the end there is nothing to find.
    CheckSignatureAt(fd, static_cast<int64_t>(size) + 1, path, data, size);
    return 0;
}
