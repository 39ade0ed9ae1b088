#include "Uid.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace orvalen {
namespace {

using Digest = std::array<std::uint8_t, 20>;

std::uint32_t Rotate(std::uint32_t value, int bits) {
    return (value << bits) | (value >> (32 - bits));
}

Digest Sha1(std::string_view message) {
    std::uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    std::string padded(message);
    const std::uint64_t bits = static_cast<std::uint64_t>(message.size()) * 8;
    padded += static_cast<char>(0x80);
    while (padded.size() % 64 != 56)
        padded += '\0';
    for (int shift = 56; shift >= 0; shift -= 8)
        padded += static_cast<char>((bits >> shift) & 0xFF);

    for (std::size_t block = 0; block < padded.size(); block += 64) {
        std::uint32_t w[80];
        for (int i = 0; i < 16; ++i) {
            w[i] = 0;
            for (int j = 0; j < 4; ++j)
                w[i] = (w[i] << 8) | static_cast<std::uint8_t>(padded[block + i * 4 + j]);
        }
        for (int i = 16; i < 80; ++i)
            w[i] = Rotate(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int i = 0; i < 80; ++i) {
            std::uint32_t f;
            std::uint32_t k;
            if (i < 20) {
                f = (b & c) | (~b & d);
                k = 0x5A827999;
            } else if (i < 40) {
                f = b ^ c ^ d;
                k = 0x6ED9EBA1;
            } else if (i < 60) {
                f = (b & c) | (b & d) | (c & d);
                k = 0x8F1BBCDC;
            } else {
                f = b ^ c ^ d;
                k = 0xCA62C1D6;
            }
            const std::uint32_t next = Rotate(a, 5) + f + e + k + w[i];
            e = d;
            d = c;
            c = Rotate(b, 30);
            b = a;
            a = next;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
        h[4] += e;
    }
    Digest digest{};
    for (int i = 0; i < 20; ++i)
        digest[i] = static_cast<std::uint8_t>(h[i / 4] >> (24 - (i % 4) * 8));
    return digest;
}

// This program's namespace: the UUID of the name "orvalen-tel" in the URL namespace would do as
// well; any fixed value keeps UIDs stable.
constexpr std::uint8_t kNamespace[16] = {0x5b, 0x1e, 0x6a, 0x3c, 0x92, 0x4f, 0x4d, 0x1a,
                                         0x8e, 0x07, 0x2f, 0xc4, 0x61, 0xd0, 0x3a, 0x77};

} // namespace

std::string NameBasedUid(std::string_view bytes) {
    std::string input(reinterpret_cast<const char*>(kNamespace), sizeof kNamespace);
    input += bytes;
    Digest digest = Sha1(input);
    digest[6] = static_cast<std::uint8_t>((digest[6] & 0x0F) | 0x50);
    digest[8] = static_cast<std::uint8_t>((digest[8] & 0x3F) | 0x80);
    std::string uid;
    char hex[3];
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            uid += '-';
        std::snprintf(hex, sizeof hex, "%02x", digest[i]);
        uid += hex;
    }
    return uid;
}

} // namespace orvalen
