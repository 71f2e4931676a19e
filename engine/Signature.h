#pragma once

// Plain standard C++ only: the self-joining stub compiles this file on its own.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Length of the fixed part of either signature: the 8-byte magic and 26 bytes of
// fields. A version 1.0 signature is exactly this long; a version 1.1 signature
// is followed by its extension and comment bytes.
inline constexpr std::size_t SignatureFixedLength = 34;
inline constexpr std::size_t SignatureMagicLength = 8;
// Field widths that bound what a signature can say.
inline constexpr std::size_t Signature100ExtensionField = 20;
inline constexpr std::size_t Signature110MaxExtension = 255;
inline constexpr std::size_t Signature110MaxComment = 65535;
inline constexpr int64_t SignatureMaxWholeFileSize = 2147483647;
inline constexpr int64_t SignatureMaxBlockCount = 65535;

enum class TSignatureVersion { sv100, sv110 };

// What the header at the start of a set's first piece says about the whole file.
// Extension and comment hold the stored bytes as they are (see TextFromStoredBytes).
struct TSignature {
    TSignatureVersion version = TSignatureVersion::sv110;
    uint8_t flag = 1;          // version 1.1 only; always written as 1
    int32_t wholeFileSize = 0; // bytes
    uint32_t attributes = 0;   // version 1.1 only
    uint32_t creationTime = 0; // packed DOS date-times, version 1.1 only
    uint32_t lastAccessTime = 0;
    uint32_t lastWriteTime = 0;
    uint16_t blockCount = 0;
    std::string extension; // with its leading dot; "" when none
    std::string comment;   // version 1.1 only
};

// The bytes of a signature as they go into the piece. Version 1.0 keeps at most
// 20 extension bytes (a zero follows when there are fewer); version 1.1 keeps at
// most 255 extension and 65535 comment bytes. Cuts never split a UTF-8 character.
std::string EncodeSignature(const TSignature& signature);

// The header length EncodeSignature gives for this signature.
std::size_t EncodedSignatureLength(const TSignature& signature);

// How many bytes from `bytes` make up the whole signature found there: 0 when
// the first 8 bytes are neither magic (or fewer than 8 are available);
// SignatureFixedLength while fewer than that are available (read more and ask
// again); otherwise the exact length, 34 or 34 + n + m.
std::size_t SignatureLength(const unsigned char* bytes, std::size_t available);

// Decodes the signature at `bytes`; nullopt when there is none or when fewer
// bytes are available than SignatureLength says it needs (a cut-off signature
// is no signature).
std::optional<TSignature> ParseSignature(const unsigned char* bytes, std::size_t available);

// The stored extension or comment bytes as UTF-8: kept when they are valid
// UTF-8, otherwise decoded as Windows-1251 (sets made on Ukrainian Windows).
std::string TextFromStoredBytes(const std::string& bytes);

// True when `bytes` is valid UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(const std::string& bytes);

// The longest prefix of `text` of at most `maxBytes` bytes that does not end
// inside a UTF-8 character.
std::string CutUtf8(const std::string& text, std::size_t maxBytes);
