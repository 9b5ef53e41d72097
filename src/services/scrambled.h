// Texts kept scrambled in the binary (web addresses, the About line) so
// that they do not show up as plain text; each byte is mixed with a
// running key at compile time and unmixed when the text is needed.
#pragma once
#include <array>
#include <cstddef>
#include <string>

namespace kk {

template <size_t N>
struct Scrambled {
    std::array<unsigned char, N> bytes{};
    constexpr explicit Scrambled(const char (&text)[N]) {
        for (size_t i = 0; i < N; ++i) bytes[i] = static_cast<unsigned char>(text[i] ^ Key(i));
    }
    static constexpr unsigned char Key(size_t i) { return static_cast<unsigned char>(0x5A + 31 * i); }
    std::string Plain() const {
        std::string text;
        for (size_t i = 0; i + 1 < N; ++i) text += static_cast<char>(bytes[i] ^ Key(i));
        return text;
    }
};

}  // namespace kk
