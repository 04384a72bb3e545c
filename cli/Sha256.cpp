// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Sha256.h"

#include <nettle/sha2.h>

namespace tamrisk::cli {

struct Sha256::State {
    sha256_ctx context;
};

Sha256::Sha256() : state_(std::make_unique<State>()) { sha256_init(&state_->context); }

Sha256::~Sha256() = default;

void Sha256::Update(std::string_view bytes)
{
    sha256_update(&state_->context, bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
}

std::string Sha256::HexDigest()
{
    std::uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&state_->context, sizeof digest, digest); // also starts the hash anew
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 15];
    }
    return hex;
}

std::string Sha256Hex(std::string_view bytes)
{
    Sha256 hash;
    hash.Update(bytes);
    return hash.HexDigest();
}

void HashingSink::Write(std::string_view bytes)
{
    target_.Write(bytes);
    hash_.Update(bytes);
    bytes_ += bytes.size();
}

} // namespace tamrisk::cli
