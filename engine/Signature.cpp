#include "engine/Signature.h"

#include <cstring>

namespace {

constexpr char Magic100[SignatureMagicLength] = {'V', 'R', 'N', 'v', '1', '0', '0', 0x1A};
constexpr char Magic110[SignatureMagicLength] = {'V', 'R', 'N', 'v', '1', '1', '0', 0x1A};

void PutLe(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint32_t GetLe(const unsigned char* bytes, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

// Code points of the Windows-1251 bytes 0x80 to 0xBF; 0xC0 to 0xFF run
// straight through U+0410 to U+044F. 0x98 has no character.
constexpr uint16_t Cp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

void AppendUtf8(std::string& out, uint32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

// Length of the valid UTF-8 sequence starting at text[pos], 0 when it is not one.
std::size_t Utf8SequenceLength(const std::string& text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80)
        return 1;
    std::size_t length;
    uint32_t codePoint;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(pos + i) & 0x3F);
    }
    if ((length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000) ||
        codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

bool IsValidUtf8(const std::string& bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = Utf8SequenceLength(bytes, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

std::string CutUtf8(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    // Step back over continuation bytes so that no character is split.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

std::string TextFromStoredBytes(const std::string& bytes) {
    if (IsValidUtf8(bytes))
        return bytes;
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x80)
            text.push_back(c);
        else if (byte < 0xC0)
            AppendUtf8(text, Cp1251High[byte - 0x80]);
        else
            AppendUtf8(text, 0x0410 + (byte - 0xC0));
    }
    return text;
}

std::size_t EncodedSignatureLength(const TSignature& signature) {
    if (signature.version == TSignatureVersion::sv100)
        return SignatureFixedLength;
    return SignatureFixedLength + CutUtf8(signature.extension, Signature110MaxExtension).size() +
           CutUtf8(signature.comment, Signature110MaxComment).size();
}

std::string EncodeSignature(const TSignature& signature) {
    std::string out;
    if (signature.version == TSignatureVersion::sv100) {
        out.assign(Magic100, SignatureMagicLength);
        PutLe(out, static_cast<uint32_t>(signature.wholeFileSize), 4);
        // Readers take up to 20 bytes when no zero ends them, so a 20-byte
        // extension fits whole; longer ones are cut.
        std::string field = CutUtf8(signature.extension, Signature100ExtensionField);
        field.resize(Signature100ExtensionField, '\0');
        out += field;
        PutLe(out, signature.blockCount, 2);
        return out;
    }
    const std::string extension = CutUtf8(signature.extension, Signature110MaxExtension);
    const std::string comment = CutUtf8(signature.comment, Signature110MaxComment);
    out.assign(Magic110, SignatureMagicLength);
    PutLe(out, signature.flag, 1);
    PutLe(out, static_cast<uint32_t>(signature.wholeFileSize), 4);
    PutLe(out, signature.attributes, 4);
    PutLe(out, signature.creationTime, 4);
    PutLe(out, signature.lastAccessTime, 4);
    PutLe(out, signature.lastWriteTime, 4);
    PutLe(out, extension.size(), 1);
    PutLe(out, signature.blockCount, 2);
    PutLe(out, comment.size(), 2);
    out += extension;
    out += comment;
    return out;
}

std::size_t SignatureLength(const unsigned char* bytes, std::size_t available) {
    if (available < SignatureMagicLength)
        return 0;
    const bool is100 = std::memcmp(bytes, Magic100, SignatureMagicLength) == 0;
    const bool is110 = std::memcmp(bytes, Magic110, SignatureMagicLength) == 0;
    if (!is100 && !is110)
        return 0;
    if (is100 || available < SignatureFixedLength)
        return SignatureFixedLength;
    return SignatureFixedLength + bytes[29] + GetLe(bytes + 32, 2);
}

std::optional<TSignature> ParseSignature(const unsigned char* bytes, std::size_t available) {
    const std::size_t length = SignatureLength(bytes, available);
    if (length == 0 || available < length || available < SignatureFixedLength)
        return std::nullopt;
    TSignature signature;
    if (std::memcmp(bytes, Magic100, SignatureMagicLength) == 0) {
        signature.version = TSignatureVersion::sv100;
        signature.flag = 0;
        signature.wholeFileSize = static_cast<int32_t>(GetLe(bytes + 8, 4));
        const char* field = reinterpret_cast<const char*>(bytes + 12);
        const void* zero = std::memchr(field, 0, Signature100ExtensionField);
        signature.extension.assign(field, zero ? static_cast<const char*>(zero) - field
                                               : Signature100ExtensionField);
        signature.blockCount = static_cast<uint16_t>(GetLe(bytes + 32, 2));
        return signature;
    }
    signature.version = TSignatureVersion::sv110;
    signature.flag = bytes[8];
    signature.wholeFileSize = static_cast<int32_t>(GetLe(bytes + 9, 4));
    signature.attributes = GetLe(bytes + 13, 4);
    signature.creationTime = GetLe(bytes + 17, 4);
    signature.lastAccessTime = GetLe(bytes + 21, 4);
    signature.lastWriteTime = GetLe(bytes + 25, 4);
    const std::size_t extensionLength = bytes[29];
    signature.blockCount = static_cast<uint16_t>(GetLe(bytes + 30, 2));
    const std::size_t commentLength = GetLe(bytes + 32, 2);
    const char* text = reinterpret_cast<const char*>(bytes + SignatureFixedLength);
    signature.extension.assign(text, extensionLength);
    signature.comment.assign(text + extensionLength, commentLength);
    return signature;
}
