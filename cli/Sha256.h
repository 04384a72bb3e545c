// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/ByteSink.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tamrisk::cli {

// SHA-256 of bytes given in any number of pieces (Nettle's implementation).
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(std::string_view bytes);
    // The digest as 64 lower-case hex digits; the hash starts anew.
    std::string HexDigest();

private:
    struct State;
    std::unique_ptr<State> state_;
};

std::string Sha256Hex(std::string_view bytes);

// Passes bytes on to another sink and keeps their count and SHA-256, so that
// a file's checksum needs no second reading.
class HashingSink final : public ByteSink {
public:
    explicit HashingSink(ByteSink& target) : target_(target) {}
    void Write(std::string_view bytes) override;
    std::uint64_t bytes() const { return bytes_; }
    std::string HexDigest() { return hash_.HexDigest(); }

private:
    ByteSink& target_;
    Sha256 hash_;
    std::uint64_t bytes_ = 0;
};

} // namespace tamrisk::cli
