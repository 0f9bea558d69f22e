// Builds little-endian binary records for the reader's tests, one field at a time.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "resource_reader.h"

namespace restest {

class Blob {
public:
    Blob& U8(std::uint8_t value)
    {
        bytes.push_back(value);
        return *this;
    }
    Blob& U16(std::uint16_t value) { return U8(value & 0xFF).U8(value >> 8); }
    Blob& U32(std::uint32_t value) { return U16(value & 0xFFFF).U16(value >> 16); }
    Blob& Sz(std::u16string_view text)
    {
        for (const char16_t unit : text) {
            U16(unit);
        }
        return U16(0);
    }
    Blob& Ordinal(std::uint16_t value) { return U16(0xFFFF).U16(value); }
    Blob& Align4()
    {
        while (bytes.size() % 4 != 0) {
            U8(0);
        }
        return *this;
    }
    Blob& Append(res::Bytes data)
    {
        bytes.insert(bytes.end(), data.begin(), data.end());
        return *this;
    }
    Blob& Append(const Blob& other) { return Append(other.Span()); }
    // Overwrites a 16-bit field written earlier, e.g. a length known only at the end.
    void PatchU16(std::size_t offset, std::uint16_t value)
    {
        bytes.at(offset) = value & 0xFF;
        bytes.at(offset + 1) = value >> 8;
    }
    res::Bytes Span() const { return bytes; }
    std::size_t Size() const { return bytes.size(); }

    std::vector<std::uint8_t> bytes;
};

// One entry of a .res image with ordinal type and name.
inline Blob ResEntry(std::uint16_t type, std::uint16_t name, std::uint16_t language, const Blob& data)
{
    Blob entry;
    entry.U32(static_cast<std::uint32_t>(data.Size())).U32(32);
    entry.Ordinal(type).Ordinal(name);
    entry.U32(0).U16(0x1030).U16(language).U32(0).U32(0);
    return entry.Append(data).Align4();
}

// The empty entry every .res image starts with.
inline Blob ResSignature()
{
    return ResEntry(0, 0, 0, Blob{});
}

}  // namespace restest
