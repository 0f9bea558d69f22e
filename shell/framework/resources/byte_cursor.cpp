#include "byte_cursor.h"

namespace res::detail {

bool ByteCursor::Has(std::size_t count)
{
    if (ok_ && Remaining() >= count) {
        return true;
    }
    ok_ = false;
    return false;
}

std::uint8_t ByteCursor::U8()
{
    return Has(1) ? data_[offset_++] : 0;
}

std::uint16_t ByteCursor::U16()
{
    if (!Has(2)) {
        return 0;
    }
    const auto value = static_cast<std::uint16_t>(data_[offset_] | (data_[offset_ + 1] << 8));
    offset_ += 2;
    return value;
}

std::uint32_t ByteCursor::U32()
{
    const std::uint32_t low = U16();
    const std::uint32_t high = U16();
    return ok_ ? (low | (high << 16)) : 0;
}

std::u16string ByteCursor::Chars(std::size_t count)
{
    if (count > Remaining() / 2) {
        ok_ = false;
        return {};
    }
    std::u16string text(count, u'\0');
    for (auto& unit : text) {
        unit = U16();
    }
    return text;
}

std::u16string ByteCursor::Sz()
{
    std::u16string text;
    for (char16_t unit = U16(); ok_ && unit != 0; unit = U16()) {
        text.push_back(unit);
    }
    return ok_ ? text : std::u16string{};
}

NameOrOrdinal ByteCursor::ReadNameOrOrdinal()
{
    const std::size_t start = offset_;
    if (U16() == 0xFFFF) {
        return {U16(), {}};
    }
    offset_ = start;  // the unit just read is the first one of the name
    return {std::nullopt, Sz()};
}

Bytes ByteCursor::Take(std::size_t count)
{
    if (!Has(count)) {
        return {};
    }
    const Bytes taken = data_.subspan(offset_, count);
    offset_ += count;
    return taken;
}

}  // namespace res::detail
