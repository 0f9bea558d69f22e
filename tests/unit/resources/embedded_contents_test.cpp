// The resources compiled from vornikal.rc read back with exactly the templates, string, icon and
// version block the program is built on.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "embedded_resources.h"
#include "resource_reader.h"
#include "win32_names.h"

namespace {

constexpr std::uint16_t kIcon = 3, kDialog = 5, kString = 6, kIconGroup = 14, kVersion = 16;
constexpr std::uint16_t kChineseTaiwan = 0x0404;
constexpr std::uint16_t kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kComboBox = 0x85;
constexpr std::uint32_t kChild = WS_CHILD | WS_VISIBLE;

const std::vector<res::Entry>& Entries()
{
    static const auto entries = res::ParseResFile(res::EmbeddedImage());
    return entries;
}

res::DialogTemplate Dialog(std::uint16_t id)
{
    const auto data = res::Find(Entries(), kDialog, id);
    EXPECT_TRUE(data.has_value());
    const auto dialog = data ? res::ParseDialog(*data) : std::nullopt;
    EXPECT_TRUE(dialog.has_value());
    return dialog.value_or(res::DialogTemplate{});
}

struct Control {
    std::uint16_t classAtom;
    std::int32_t id;
    std::u16string text;
    std::array<std::int16_t, 4> position;
    std::uint32_t style;
};

void ExpectControls(const res::DialogTemplate& dialog, const std::vector<Control>& expected)
{
    ASSERT_EQ(dialog.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i) + ": " + res::ToUtf8(expected[i].text));
        const auto& item = dialog.items[i];
        EXPECT_EQ(item.classAtom, expected[i].classAtom);
        EXPECT_TRUE(item.className.empty());
        EXPECT_EQ(item.id, expected[i].id);
        EXPECT_EQ(item.text, expected[i].text);
        EXPECT_FALSE(item.textOrdinal.has_value());
        EXPECT_EQ((std::array{item.x, item.y, item.cx, item.cy}), expected[i].position);
        EXPECT_EQ(item.style, expected[i].style);
        EXPECT_EQ(item.exStyle, 0u);
    }
}

TEST(EmbeddedResources, EveryEntryIsChineseTaiwan)
{
    ASSERT_FALSE(Entries().empty());
    for (const auto& entry : Entries()) {
        EXPECT_EQ(entry.language, kChineseTaiwan) << "type " << entry.type << " name " << entry.name;
    }
    for (const auto& [type, name] : {std::pair{kDialog, 100}, {kDialog, 102}, {kString, 7},
                                    {kIconGroup, 128}, {kVersion, 1}}) {
        EXPECT_TRUE(res::Find(Entries(), type, static_cast<std::uint16_t>(name))) << type << "/" << name;
    }
}

TEST(MainDialogTemplate, IsAnExtendedVisiblePopupOnTheTaskBar)
{
    const auto dialog = Dialog(102);
    EXPECT_TRUE(dialog.extended);
    EXPECT_EQ(dialog.style, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(dialog.exStyle, WS_EX_APPWINDOW);
    EXPECT_EQ((std::array{dialog.x, dialog.y, dialog.cx, dialog.cy}), (std::array<std::int16_t, 4>{0, 0, 237, 119}));
    EXPECT_EQ(dialog.caption, u"KESTRAVO v1.0 by OLVANE");
    EXPECT_EQ(dialog.faceName, u"新細明體");
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.weight, 0);
    EXPECT_FALSE(dialog.italic);
    EXPECT_EQ(dialog.charset, 1);
}

TEST(MainDialogTemplate, ControlsInTabOrder)
{
    constexpr std::uint32_t label = kChild | SS_LEFT | WS_GROUP;
    constexpr std::uint32_t field = kChild | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    ExpectControls(Dialog(102), {
        {kButton, 1, u"Send", {7, 98, 84, 14}, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP},
        {kButton, 1005, u"Clear Result", {109, 98, 121, 14}, kChild | BS_PUSHBUTTON | WS_TABSTOP},
        {kStatic, -1, u"Bytes to Send", {7, 27, 44, 8}, label},
        {kStatic, -1, u"Byte[0]", {12, 41, 25, 8}, label},
        {kStatic, -1, u"Byte[1]", {12, 55, 25, 8}, label},
        {kStatic, -1, u"Byte[2]", {12, 70, 25, 8}, label},
        {kStatic, -1, u"Byte[3]", {12, 84, 25, 8}, label},
        {kEdit, 1010, u"", {109, 7, 121, 86},
         kChild | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP},
        {kComboBox, 1011, u"", {7, 7, 86, 51}, kChild | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP},
        {kEdit, 1006, u"", {52, 24, 40, 14}, field},
        {kEdit, 1000, u"", {52, 39, 40, 14}, field},
        {kEdit, 1007, u"", {52, 53, 40, 14}, field},
        {kEdit, 1008, u"", {52, 67, 40, 14}, field},
        {kEdit, 1009, u"", {52, 81, 40, 14}, field},
    });
}

TEST(MainDialogTemplate, ResultBoxAndBaudListLeaveOutWhatWouldChangeTheirBehaviour)
{
    const auto dialog = Dialog(102);
    ASSERT_EQ(dialog.items.size(), 14u);
    const auto& result = dialog.items[7];
    EXPECT_EQ(result.style & (ES_WANTRETURN | ES_AUTOHSCROLL | WS_HSCROLL), 0u);
    const auto& baudList = dialog.items[8];
    EXPECT_EQ(baudList.style & (CBS_SORT | CBS_AUTOHSCROLL), 0u);
}

TEST(AboutDialogTemplate, IsAStandardHiddenPopup)
{
    const auto dialog = Dialog(100);
    EXPECT_FALSE(dialog.extended);
    EXPECT_EQ(dialog.style, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ((std::array{dialog.x, dialog.y, dialog.cx, dialog.cy}), (std::array<std::int16_t, 4>{0, 0, 235, 55}));
    EXPECT_EQ(dialog.caption, u"關於 VORNIKAL");
    EXPECT_EQ(dialog.faceName, u"新細明體");
    EXPECT_EQ(dialog.pointSize, 9);
}

TEST(AboutDialogTemplate, IconThenTwoLinesThenOk)
{
    auto dialog = Dialog(100);
    ASSERT_EQ(dialog.items.size(), 4u);
    const auto icon = dialog.items.front();
    EXPECT_EQ(icon.classAtom, kStatic);
    EXPECT_EQ(icon.id, -1);
    EXPECT_EQ(icon.textOrdinal, std::optional<std::uint16_t>{128});
    EXPECT_TRUE(icon.text.empty());
    EXPECT_EQ((std::array{icon.x, icon.y, icon.cx, icon.cy}), (std::array<std::int16_t, 4>{11, 17, 20, 20}));
    EXPECT_EQ(icon.style, kChild | SS_ICON);
    dialog.items.erase(dialog.items.begin());
    ExpectControls(dialog, {
        {kStatic, -1, u"VORNIKAL Version 1.0", {40, 10, 119, 8}, kChild | SS_LEFT | SS_NOPREFIX | WS_GROUP},
        {kStatic, -1, u"A hand probe for a serial link", {40, 25, 119, 8}, kChild | SS_LEFT | WS_GROUP},
        {kButton, 1, u"確定", {178, 7, 50, 14}, kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
    });
}

TEST(AboutMenuString, IsString101)
{
    EXPECT_EQ(res::FindString(Entries(), 101), std::optional<std::u16string>{u"關於 VORNIKAL(&A)..."});
    EXPECT_EQ(res::ToUtf8(res::FindString(Entries(), 101).value_or(u"")), "關於 VORNIKAL(&A)...");
    EXPECT_FALSE(res::FindString(Entries(), 100).has_value());
    EXPECT_FALSE(res::FindString(Entries(), 102).has_value());
}

bool IsVgaColour(std::uint32_t rgb)
{
    const auto level = [](std::uint32_t c) { return c == 0x00 || c == 0x80 || c == 0xC0 || c == 0xFF; };
    return level(rgb >> 16 & 0xFF) && level(rgb >> 8 & 0xFF) && level(rgb & 0xFF);
}

std::uint32_t PixelAt(const res::IconImage& image, int x, int y)
{
    return image.argb.at(static_cast<std::size_t>(y * image.width + x));
}

// Every size a DPI or a view asks for as a 32-bit image with alpha (256 as PNG), and the hand-set
// 16-colour images at 32 and 16 px for screens of few colours.
TEST(MainIcon, HoldsEverySizeWithAlphaAndThe16ColourImagesAt32And16)
{
    std::vector<std::array<int, 3>> images;  // side, bits per pixel, PNG
    for (const auto& image : res::LoadIconGroup(Entries(), 128)) {
        EXPECT_EQ(image.width, image.height);
        images.push_back({image.width, image.bitCount, !image.png.empty()});
    }
    EXPECT_EQ(images, (std::vector<std::array<int, 3>>{{256, 32, 1}, {128, 32, 0}, {64, 32, 0}, {48, 32, 0},
                                                       {40, 32, 0}, {32, 32, 0}, {32, 4, 0}, {24, 32, 0},
                                                       {20, 32, 0}, {16, 32, 0}, {16, 4, 0}}));
}

TEST(MainIcon, The16ColourImagesHoldOnlyTransparentOrOpaquePaletteColours)
{
    for (const auto& image : res::LoadIconGroup(Entries(), 128)) {
        if (image.bitCount != 4)
            continue;
        SCOPED_TRACE(image.width);
        ASSERT_EQ(image.argb.size(), static_cast<std::size_t>(image.width * image.height));
        const auto transparent = std::count(image.argb.begin(), image.argb.end(), 0u);
        const auto opaque = std::count_if(image.argb.begin(), image.argb.end(),
                                          [](std::uint32_t p) { return p >> 24 == 0xFF && IsVgaColour(p); });
        EXPECT_GT(transparent, 0);
        EXPECT_GT(opaque, 0);
        EXPECT_EQ(transparent + opaque, static_cast<std::ptrdiff_t>(image.argb.size()));
        for (const auto& [x, y] : {std::pair{0, 0}, {image.width - 1, 0}, {0, image.height - 1},
                                  {image.width - 1, image.height - 1}}) {
            EXPECT_EQ(PixelAt(image, x, y), 0u) << x << "," << y;
        }
    }
}

// The send arrow (green) is drawn above the plug and the receive arrow (blue) below it, so the rows
// must come out top row first, at every size.
TEST(MainIcon, SendArrowIsOnTopAndReceiveArrowAtTheBottom)
{
    for (const auto& image : res::LoadIconGroup(Entries(), 128)) {
        if (!image.png.empty())
            continue;
        SCOPED_TRACE(image.width);
        int greenPixels = 0, bluePixels = 0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const bool upper = y < image.height / 2;
                if (PixelAt(image, x, y) == 0xFF008000u) {
                    EXPECT_TRUE(upper) << x << "," << y;
                    greenPixels += upper;
                } else if (PixelAt(image, x, y) == 0xFF0000FFu) {
                    EXPECT_FALSE(upper) << x << "," << y;
                    bluePixels += !upper;
                }
            }
        }
        EXPECT_GT(greenPixels, 0);
        EXPECT_GT(bluePixels, 0);
    }
}

TEST(VersionBlock, FixedInfo)
{
    const auto data = res::Find(Entries(), kVersion, 1);
    ASSERT_TRUE(data.has_value());
    const auto version = res::ParseVersion(*data);
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->fileVersionMS, 0x00010000u);
    EXPECT_EQ(version->fileVersionLS, 0x00000001u);
    EXPECT_EQ(version->productVersionMS, 0x00010000u);
    EXPECT_EQ(version->productVersionLS, 0x00000001u);
    EXPECT_EQ(version->fileFlagsMask, 0x3Fu);
    EXPECT_EQ(version->fileFlags, 0u);
    EXPECT_EQ(version->fileOS, 0x4u);    // VOS__WINDOWS32
    EXPECT_EQ(version->fileType, 0x1u);  // VFT_APP
    EXPECT_EQ(version->fileSubtype, 0u);
    EXPECT_EQ(version->fileDateMS, 0u);
    EXPECT_EQ(version->fileDateLS, 0u);
}

TEST(VersionBlock, StringTableAndTranslation)
{
    const auto data = res::Find(Entries(), kVersion, 1);
    ASSERT_TRUE(data.has_value());
    const auto version = res::ParseVersion(*data);
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->stringTableKey, u"040404b0");
    const std::vector<std::pair<std::u16string, std::u16string>> expected{
        {u"CompanyName", u""},
        {u"FileDescription", u"VORNIKAL MFC Application"},
        {u"FileVersion", u"1, 0, 0, 1"},
        {u"InternalName", u"VORNIKAL"},
        {u"LegalCopyright", u"Copyright (C) 2026 VORNIKAL developers"},
        {u"LegalTrademarks", u""},
        {u"OriginalFilename", u"VORNIKAL.EXE"},
        {u"ProductName", u"VORNIKAL Application"},
        {u"ProductVersion", u"1, 0, 0, 1"},
    };
    EXPECT_EQ(version->strings, expected);
    EXPECT_EQ(version->translations, (std::vector<std::uint32_t>{0x04B00404}));
}

}  // namespace
