// Every parser meets the real resources cut short at every length and with every byte forged:
// it must return nothing or a well-formed part, and never read outside its input (ASan checks).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "embedded_resources.h"
#include "resource_reader.h"

namespace {

constexpr std::uint16_t kIcon = 3, kDialog = 5, kString = 6, kIconGroup = 14, kVersion = 16;

const std::vector<res::Entry>& Entries()
{
    static const auto entries = res::ParseResFile(res::EmbeddedImage());
    return entries;
}

res::Bytes Data(std::uint16_t type, std::uint16_t name)
{
    const auto data = res::Find(Entries(), type, name);
    EXPECT_TRUE(data.has_value()) << type << "/" << name;
    return data.value_or(res::Bytes{});
}

// Calls check(copy) for copies of `data` with each byte in turn set to 0x00, 0xFF and 0x7F.
template <typename Check>
void ForEveryForgedByte(res::Bytes data, Check check)
{
    std::vector<std::uint8_t> copy(data.begin(), data.end());
    for (std::size_t i = 0; i < copy.size(); ++i) {
        for (const std::uint8_t forged : {0x00, 0xFF, 0x7F}) {
            const std::uint8_t original = copy[i];
            copy[i] = forged;
            check(res::Bytes{copy});
            copy[i] = original;
        }
    }
}

bool SameEntry(const res::Entry& a, const res::Entry& b)
{
    return a.type == b.type && a.name == b.name && a.language == b.language &&
           a.data.data() == b.data.data() && a.data.size() == b.data.size();
}

TEST(ResFileTruncated, EveryPrefixGivesTheCompleteLeadingEntries)
{
    const res::Bytes image = res::EmbeddedImage();
    const auto& full = Entries();
    std::size_t previous = 0;
    for (std::size_t length = 0; length <= image.size(); ++length) {
        const auto entries = res::ParseResFile(image.first(length));
        ASSERT_LE(entries.size(), full.size()) << length;
        ASSERT_GE(entries.size(), previous) << length;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            ASSERT_TRUE(SameEntry(entries[i], full[i])) << "entry " << i << " at length " << length;
            ASSERT_LE(entries[i].data.data() + entries[i].data.size(), image.data() + length);
        }
        previous = entries.size();
    }
    EXPECT_EQ(previous, full.size());
}

TEST(ResFileForged, EntriesStayInsideTheImage)
{
    ForEveryForgedByte(res::EmbeddedImage(), [](res::Bytes image) {
        for (const auto& entry : res::ParseResFile(image)) {
            ASSERT_GE(entry.data.data(), image.data());
            ASSERT_LE(entry.data.data() + entry.data.size(), image.data() + image.size());
        }
    });
}

TEST(DialogTruncated, NoProperPrefixOfEitherTemplateParses)
{
    for (const std::uint16_t id : {100, 102}) {
        const res::Bytes data = Data(kDialog, id);
        ASSERT_TRUE(res::ParseDialog(data).has_value()) << id;
        for (std::size_t length = 0; length < data.size(); ++length) {
            ASSERT_FALSE(res::ParseDialog(data.first(length)).has_value()) << id << " cut at " << length;
        }
    }
}

TEST(DialogForged, ControlCountNeverExceedsWhatTheBytesCanHold)
{
    constexpr std::size_t kSmallestControl = 18;
    for (const std::uint16_t id : {100, 102}) {
        ForEveryForgedByte(Data(kDialog, id), [](res::Bytes data) {
            if (const auto dialog = res::ParseDialog(data)) {
                ASSERT_LE(dialog->items.size() * kSmallestControl, data.size());
            }
        });
    }
}

TEST(StringTruncated, TheStringNeedsItsWholeSlot)
{
    const res::Bytes block = Data(kString, 7);
    const std::u16string expected = res::FindString(Entries(), 101).value_or(u"");
    ASSERT_FALSE(expected.empty());
    // Slots 0 to 4 of the block are empty (a length word each); slot 5 is string 101.
    const std::size_t slotEnd = 5 * 2 + 2 + 2 * expected.size();
    for (std::size_t length = 0; length <= block.size(); ++length) {
        const std::vector<res::Entry> entries{{kString, 7, 0x0404, block.first(length)}};
        const auto text = res::FindString(entries, 101);
        if (length >= slotEnd) {
            ASSERT_EQ(text, std::optional{expected}) << length;
        } else {
            ASSERT_FALSE(text.has_value()) << length;
        }
    }
}

TEST(StringForged, ReadsStayInsideTheBlock)
{
    ForEveryForgedByte(Data(kString, 7), [](res::Bytes block) {
        const std::vector<res::Entry> entries{{kString, 7, 0x0404, block}};
        for (std::uint32_t id = 96; id < 112; ++id) {
            ASSERT_LE(res::FindString(entries, id).value_or(u"").size() * 2, block.size());
        }
    });
}

// The group's entries with one entry's data replaced.
std::vector<res::Entry> WithData(std::uint16_t type, std::uint16_t name, res::Bytes data)
{
    std::vector<res::Entry> entries = Entries();
    for (auto& entry : entries) {
        if (entry.type == type && entry.name == name) {
            entry.data = data;
        }
    }
    return entries;
}

// Images 1 and 2 are the 16-colour ones at 32 and 16 px.
TEST(IconTruncated, ACutImageIsLeftOutAndTheOthersStay)
{
    const std::size_t all = res::LoadIconGroup(Entries(), 128).size();
    for (const std::uint16_t imageId : {1, 2}) {
        const res::Bytes data = Data(kIcon, imageId);
        for (std::size_t length = 0; length < data.size(); ++length) {
            const auto images = res::LoadIconGroup(WithData(kIcon, imageId, data.first(length)), 128);
            ASSERT_EQ(images.size(), all - 1) << "image " << imageId << " cut at " << length;
            const auto paletted = std::find_if(images.begin(), images.end(), [](const res::IconImage& image) {
                return image.bitCount == 4;
            });
            ASSERT_NE(paletted, images.end());
            ASSERT_EQ(paletted->width, imageId == 1 ? 16 : 32);
        }
    }
}

TEST(IconTruncated, ACutDirectoryKeepsItsCompleteEntries)
{
    constexpr std::size_t kDirectoryHeader = 6, kDirectoryEntry = 14;
    const res::Bytes group = Data(kIconGroup, 128);
    const std::size_t all = res::LoadIconGroup(Entries(), 128).size();
    for (std::size_t length = 0; length <= group.size(); ++length) {
        const auto images = res::LoadIconGroup(WithData(kIconGroup, 128, group.first(length)), 128);
        const std::size_t complete = length < kDirectoryHeader ? 0 : (length - kDirectoryHeader) / kDirectoryEntry;
        ASSERT_EQ(images.size(), std::min(complete, all)) << length;
    }
}

TEST(IconForged, DecodedImagesAreWholeAndBounded)
{
    for (const auto& [type, name] : {std::pair<std::uint16_t, std::uint16_t>{kIconGroup, 128}, {kIcon, 1}, {kIcon, 2}}) {
        ForEveryForgedByte(Data(type, name), [type, name](res::Bytes data) {
            for (const auto& image : res::LoadIconGroup(WithData(type, name, data), 128)) {
                ASSERT_GT(image.width, 0);
                ASSERT_LE(image.width, 256);
                ASSERT_GT(image.height, 0);
                ASSERT_LE(image.height, 256);
                // A PNG image stays whole for the platform's decoder.
                ASSERT_EQ(image.argb.size(), image.png.empty() ? static_cast<std::size_t>(image.width * image.height) : 0u);
            }
        });
    }
}

TEST(VersionTruncated, NoProperPrefixParses)
{
    const res::Bytes data = Data(kVersion, 1);
    ASSERT_TRUE(res::ParseVersion(data).has_value());
    for (std::size_t length = 0; length < data.size(); ++length) {
        ASSERT_FALSE(res::ParseVersion(data.first(length)).has_value()) << length;
    }
}

TEST(VersionForged, TextsComeFromInsideTheBlock)
{
    ForEveryForgedByte(Data(kVersion, 1), [](res::Bytes data) {
        if (const auto version = res::ParseVersion(data)) {
            std::size_t units = version->stringTableKey.size();
            for (const auto& [key, value] : version->strings) {
                units += key.size() + value.size();
            }
            ASSERT_LE(units * 2 + version->translations.size() * 4, data.size());
        }
    });
}

}  // namespace
