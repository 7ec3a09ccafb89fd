// The pieces of COFF objects and archives, byte for byte, for building a
// large library in memory.
#pragma once

#include <cstdint>
#include <string>

namespace tarvex::testing {

inline std::string le(std::uint64_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i, value >>= 8) {
        text += static_cast<char>(value & 0xFF);
    }
    return text;
}

// An archive member: its header with the size text as given, then the data.
inline std::string member(std::string name, std::string size, const std::string& data) {
    name.resize(16, ' ');
    size.resize(10, ' ');
    return name + std::string(32, ' ') + size + "`\n" + data;
}

// The file header of an x64 object.
inline std::string coff(std::uint64_t sections, std::uint64_t symbols = 0, std::uint64_t at = 0) {
    return le(0x8664, 2) + le(sections, 2) + le(0, 4) + le(at, 4) + le(symbols, 4) + le(0, 4);
}

inline std::string section(std::uint64_t size, std::uint64_t at, const char* name = ".drectve") {
    return std::string(name, 8) + le(0, 8) + le(size, 4) + le(at, 4) + std::string(16, '\0');
}

} // namespace tarvex::testing
