// A bounded little-endian reader over a span. The first read past the end fails the cursor for
// good: every later read returns zero or empty, so a parser checks Ok() once per record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "resource_reader.h"

namespace res::detail {

// A name-or-ordinal field: 0xFFFF followed by a 16-bit ordinal, or a NUL-terminated UTF-16 name.
struct NameOrOrdinal {
    std::optional<std::uint16_t> ordinal;
    std::u16string name;
};

constexpr std::size_t AlignUp4(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

class ByteCursor {
public:
    explicit ByteCursor(Bytes data, std::size_t offset = 0) : data_(data), offset_(offset) {}

    std::uint8_t U8();
    std::uint16_t U16();
    std::uint32_t U32();
    std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
    // `count` UTF-16 units; checked against what remains before anything is allocated.
    std::u16string Chars(std::size_t count);
    // UTF-16 units up to a NUL, which is consumed; fails when no NUL comes before the end.
    std::u16string Sz();
    NameOrOrdinal ReadNameOrOrdinal();
    Bytes Take(std::size_t count);
    void Skip(std::size_t count) { Take(count); }
    // Alignment is relative to the start of the span, which the formats keep on a 4-byte boundary.
    void AlignTo4() { offset_ = AlignUp4(offset_); }

    bool Ok() const { return ok_; }
    std::size_t Offset() const { return offset_; }
    std::size_t Remaining() const { return offset_ < data_.size() ? data_.size() - offset_ : 0; }

private:
    bool Has(std::size_t count);

    Bytes data_;
    std::size_t offset_;
    bool ok_ = true;
};

}  // namespace res::detail
