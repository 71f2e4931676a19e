// Feeds arbitrary bytes to the signature reader, as the start of a first piece
// would, and checks that reading, writing and the text helpers agree.

#include "FuzzCheck.h"
#include "engine/Signature.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace {

constexpr std::size_t LongestSignature =
    SignatureFixedLength + Signature110MaxExtension + Signature110MaxComment;

uint32_t Le(const uint8_t* bytes, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

void CheckCut(const std::string& text, std::size_t maxBytes, bool valid) {
    const std::string cut = CutUtf8(text, maxBytes);
    if (text.size() <= maxBytes)
        FUZZ_REQUIRE(cut == text);
    else
        FUZZ_REQUIRE(cut.size() <= maxBytes && text.compare(0, cut.size(), cut) == 0);
    if (valid) {
        FUZZ_REQUIRE(IsValidUtf8(cut));
        // No UTF-8 character is longer than 4 bytes, so a cut at a character
        // boundary gives up at most 3 of the bytes allowed.
        FUZZ_REQUIRE(cut.size() + 3 >= std::min(maxBytes, text.size()));
    }
}

// Stored extensions and comments come from anywhere: UTF-8, Windows-1251 or noise.
void CheckText(const std::string& bytes) {
    const bool valid = IsValidUtf8(bytes);
    const std::string text = TextFromStoredBytes(bytes);
    FUZZ_REQUIRE(IsValidUtf8(text));
    if (valid)
        FUZZ_REQUIRE(text == bytes);
    else
        FUZZ_REQUIRE(text.size() > bytes.size()); // some byte at 0x80 or above widened
    const std::size_t limits[] = {0,
                                  1,
                                  bytes.size() / 2,
                                  bytes.empty() ? 0 : bytes.size() - 1,
                                  bytes.size(),
                                  Signature100ExtensionField,
                                  Signature110MaxExtension};
    for (const std::size_t limit : limits) {
        CheckCut(bytes, limit, valid);
        CheckCut(text, limit, true);
    }
}

void CheckStoredSignature(const uint8_t* data, std::size_t size) {
    const std::size_t length = SignatureLength(data, size);
    FUZZ_REQUIRE(length == 0 || (length >= SignatureFixedLength && length <= LongestSignature));

    const std::optional<TSignature> signature = ParseSignature(data, size);
    // A signature is there exactly when SignatureLength finds one and all of it is available.
    FUZZ_REQUIRE(signature.has_value() == (length != 0 && length <= size));
    if (!signature)
        return;
    // What follows the signature (the piece's data) must not change it.
    FUZZ_REQUIRE(SameSignature(ParseSignature(data, length), signature));

    const std::string stored(reinterpret_cast<const char*>(data), length);
    const std::string encoded = EncodeSignature(*signature);
    const auto* encodedBytes = reinterpret_cast<const unsigned char*>(encoded.data());
    FUZZ_REQUIRE(encoded.size() == EncodedSignatureLength(*signature));
    FUZZ_REQUIRE(SignatureLength(encodedBytes, encoded.size()) == encoded.size());
    FUZZ_REQUIRE(SameSignature(ParseSignature(encodedBytes, encoded.size()), signature));
    if (signature->version == TSignatureVersion::sv110) {
        // Every byte of a version 1.1 signature belongs to a field, so writing
        // it again must give back the stored bytes.
        FUZZ_REQUIRE(encoded == stored);
    } else {
        // Version 1.0 forgets whatever follows the zero ending the extension,
        // but keeps the magic, the size and the block count as stored.
        FUZZ_REQUIRE(encoded.size() == SignatureFixedLength);
        FUZZ_REQUIRE(encoded.compare(0, 12, stored, 0, 12) == 0);
        FUZZ_REQUIRE(encoded.compare(32, 2, stored, 32, 2) == 0);
        FUZZ_REQUIRE(signature->extension.size() <= Signature100ExtensionField);
        FUZZ_REQUIRE(signature->comment.empty());
    }
    CheckText(signature->extension);
    CheckText(signature->comment);
}

// The other direction: a signature with any fields and overlong texts, as a
// split would write it, must read back with its texts cut, not lost or garbled.
void CheckWrittenSignature(const uint8_t* data, std::size_t size) {
    constexpr std::size_t FieldBytes = 26;
    if (size < FieldBytes)
        return;
    TSignature signature;
    signature.version = (data[0] & 1) ? TSignatureVersion::sv110 : TSignatureVersion::sv100;
    signature.flag = data[1];
    signature.wholeFileSize = static_cast<int32_t>(Le(data + 2, 4));
    signature.attributes = Le(data + 6, 4);
    signature.creationTime = Le(data + 10, 4);
    signature.lastAccessTime = Le(data + 14, 4);
    signature.lastWriteTime = Le(data + 18, 4);
    signature.blockCount = static_cast<uint16_t>(Le(data + 22, 2));
    const std::string texts(reinterpret_cast<const char*>(data + FieldBytes), size - FieldBytes);
    const std::size_t split = std::min<std::size_t>(Le(data + 24, 2), texts.size());
    signature.extension = texts.substr(0, split);
    signature.comment = texts.substr(split);

    const std::string encoded = EncodeSignature(signature);
    FUZZ_REQUIRE(encoded.size() == EncodedSignatureLength(signature));
    const std::optional<TSignature> back =
        ParseSignature(reinterpret_cast<const unsigned char*>(encoded.data()), encoded.size());
    FUZZ_REQUIRE(back.has_value());
    FUZZ_REQUIRE(back->version == signature.version);
    FUZZ_REQUIRE(back->wholeFileSize == signature.wholeFileSize);
    FUZZ_REQUIRE(back->blockCount == signature.blockCount);
    if (signature.version == TSignatureVersion::sv110) {
        FUZZ_REQUIRE(back->flag == signature.flag);
        FUZZ_REQUIRE(back->attributes == signature.attributes);
        FUZZ_REQUIRE(back->creationTime == signature.creationTime);
        FUZZ_REQUIRE(back->lastAccessTime == signature.lastAccessTime);
        FUZZ_REQUIRE(back->lastWriteTime == signature.lastWriteTime);
        FUZZ_REQUIRE(back->extension == CutUtf8(signature.extension, Signature110MaxExtension));
        FUZZ_REQUIRE(back->comment == CutUtf8(signature.comment, Signature110MaxComment));
    } else {
        // The 20-byte field ends at its first zero, wherever that came from.
        const std::string field = CutUtf8(signature.extension, Signature100ExtensionField);
        FUZZ_REQUIRE(back->extension == field.substr(0, field.find('\0')));
        FUZZ_REQUIRE(back->comment.empty());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckStoredSignature(data, size);
    CheckWrittenSignature(data, size);
    CheckText(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
