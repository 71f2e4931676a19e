#pragma once

#include <array>
#include <cstddef>
#include <string>

struct evp_md_ctx_st;

// A SHA-256 digest as the checksum file stores it: 32 bytes.
using TSha256Digest = std::array<unsigned char, 32>;

// SHA-256 over a stream of bytes, computed by OpenSSL's libcrypto, which uses
// the processor's SHA instructions where there are any. A failure of the
// library (it has none for SHA-256 in practice) throws std::runtime_error.
class TSha256 {
public:
    TSha256();
    ~TSha256();
    TSha256(const TSha256&) = delete;
    TSha256& operator=(const TSha256&) = delete;

    void Update(const void* data, std::size_t size);
    // The digest of everything added since the last Finish; starts afresh.
    TSha256Digest Finish();

private:
    void Start();

    evp_md_ctx_st* m_context = nullptr;
};

// 64 lower-case hexadecimal digits, as sha256sum prints them.
std::string HexDigest(const TSha256Digest& digest);
