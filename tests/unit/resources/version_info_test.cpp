// Version blocks in the shapes other resource compilers write, and forged ones.
#include <gtest/gtest.h>

#include "blob.h"
#include "resource_reader.h"

namespace {

using restest::Blob;

constexpr std::uint16_t kBinary = 0, kText = 1;

Blob Node(std::u16string_view key, std::uint16_t type, std::uint16_t valueLength, const Blob& value,
          const std::vector<Blob>& children = {})
{
    Blob node;
    node.U16(0).U16(valueLength).U16(type).Sz(key).Align4().Append(value);
    for (const Blob& child : children) {
        node.Align4().Append(child);
    }
    node.PatchU16(0, static_cast<std::uint16_t>(node.Size()));
    return node;
}

Blob Text(std::u16string_view key, std::u16string_view value)
{
    return Node(key, kText, static_cast<std::uint16_t>(value.size() + 1), Blob{}.Sz(value));
}

Blob FixedInfo(std::uint32_t signature)
{
    Blob info;
    info.U32(signature).U32(0x00010000);
    for (std::uint32_t field = 1; field <= 11; ++field) {
        info.U32(field);
    }
    return info;
}

Blob Root(const Blob& fixedInfo, const std::vector<Blob>& children)
{
    return Node(u"VS_VERSION_INFO", kBinary, static_cast<std::uint16_t>(fixedInfo.Size()), fixedInfo, children);
}

Blob Translation(std::initializer_list<std::uint32_t> values)
{
    Blob value;
    for (const std::uint32_t v : values) {
        value.U32(v);
    }
    return Node(u"VarFileInfo", kText, 0, {}, {Node(u"Translation", kBinary, static_cast<std::uint16_t>(value.Size()), value)});
}

TEST(VersionInfo, FixedFieldsInOrder)
{
    const Blob root = Root(FixedInfo(0xFEEF04BD), {});
    const auto version = res::ParseVersion(root.Span());
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ((std::vector{version->fileVersionMS, version->fileVersionLS, version->productVersionMS,
                           version->productVersionLS, version->fileFlagsMask, version->fileFlags, version->fileOS,
                           version->fileType, version->fileSubtype, version->fileDateMS, version->fileDateLS}),
              (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
}

TEST(VersionInfo, FirstStringTableOnlyAndEveryTranslation)
{
    const Blob first = Node(u"StringFileInfo", kText, 0, {},
                            {Node(u"040904b0", kText, 0, {}, {Text(u"A", u"one"), Text(u"Empty", u""), Text(u"B", u"two")})});
    const Blob second = Node(u"StringFileInfo", kText, 0, {}, {Node(u"040404b0", kText, 0, {}, {Text(u"C", u"three")})});
    const Blob root = Root({}, {first, Translation({0x04B00409, 0x03A40404}), second});
    const auto version = res::ParseVersion(root.Span());
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->fileVersionMS, 0u);
    EXPECT_EQ(version->stringTableKey, u"040904b0");
    EXPECT_EQ(version->strings, (std::vector<std::pair<std::u16string, std::u16string>>{
                                    {u"A", u"one"}, {u"Empty", u""}, {u"B", u"two"}}));
    EXPECT_EQ(version->translations, (std::vector<std::uint32_t>{0x04B00409, 0x03A40404}));
}

// Some compilers count a text value in bytes rather than characters, or leave out its terminator.
TEST(VersionInfo, TextValuesEndAtTheirTerminatorOrTheirNode)
{
    const Blob inBytes = Node(u"Bytes", kText, 2 * 4, Blob{}.Sz(u"abc"));
    const Blob unterminated = Node(u"Bare", kText, 3, Blob{}.U16(u'x').U16(u'y').U16(u'z'));
    const Blob root = Root({}, {Node(u"StringFileInfo", kText, 0, {}, {Node(u"040404b0", kText, 0, {}, {inBytes, unterminated})})});
    const auto version = res::ParseVersion(root.Span());
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->strings, (std::vector<std::pair<std::u16string, std::u16string>>{{u"Bytes", u"abc"}, {u"Bare", u"xyz"}}));
}

TEST(VersionInfoForged, RootsThatAreRefused)
{
    Blob shortLength = Root({}, {});
    shortLength.PatchU16(0, 6);
    Blob longLength = Root({}, {});
    longLength.PatchU16(0, static_cast<std::uint16_t>(longLength.Size() + 4));
    const std::vector<std::pair<const char*, Blob>> cases{
        {"wrong key", Node(u"VS_VERSION", kBinary, 0, {})},
        {"bad signature", Root(FixedInfo(0xFEEF04BC), {})},
        {"fixed info cut short", Root(Blob{}.U32(0xFEEF04BD).U32(0), {})},
        {"length ends inside the key", shortLength},
        {"length beyond the data", longLength},
    };
    for (const auto& [what, blob] : cases) {
        EXPECT_FALSE(res::ParseVersion(blob.Span()).has_value()) << what;
    }
}

TEST(VersionInfoForged, ChildLongerThanItsParentIsDropped)
{
    Blob table = Node(u"040404b0", kText, 0, {}, {Text(u"A", u"one")});
    table.PatchU16(0, static_cast<std::uint16_t>(table.Size() + 64));
    Blob root = Root({}, {Node(u"StringFileInfo", kText, 0, {}, {table}), Translation({0x04B00404})});
    // Bytes after the block, so the forged length stays inside the data and only the parent bounds it.
    for (int i = 0; i < 64; ++i) {
        root.U8(0);
    }
    const auto version = res::ParseVersion(root.Span());
    ASSERT_TRUE(version.has_value());
    EXPECT_TRUE(version->stringTableKey.empty());
    EXPECT_TRUE(version->strings.empty());
    EXPECT_EQ(version->translations, (std::vector<std::uint32_t>{0x04B00404}));
}

}  // namespace
