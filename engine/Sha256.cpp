#include "engine/Sha256.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace {

void Require(int result) {
    if (result != 1)
        throw std::runtime_error("SHA-256 failed in libcrypto");
}

} // namespace

TSha256::TSha256() : m_context(EVP_MD_CTX_new()) {
    if (m_context == nullptr)
        throw std::runtime_error("SHA-256 context not available");
    Start();
}

TSha256::~TSha256() {
    EVP_MD_CTX_free(m_context);
}

void TSha256::Start() {
    Require(EVP_DigestInit_ex(m_context, EVP_sha256(), nullptr));
}

void TSha256::Update(const void* data, std::size_t size) {
    if (size > 0)
        Require(EVP_DigestUpdate(m_context, data, size));
}

TSha256Digest TSha256::Finish() {
    TSha256Digest digest{};
    unsigned int length = 0;
    Require(EVP_DigestFinal_ex(m_context, digest.data(), &length));
    if (length != digest.size())
        throw std::runtime_error("SHA-256 gave a digest of the wrong length");
    Start();
    return digest;
}

std::string HexDigest(const TSha256Digest& digest) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(digest.size() * 2);
    for (unsigned char byte : digest) {
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
}
