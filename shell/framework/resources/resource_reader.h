// Reads the module resources from the binary form the resource compiler writes (a .res image):
// dialog templates, string tables, icon groups and the version block. Portable: no platform calls.
// Every parser is bounds-checked, so malformed input of any length yields nothing or a part, never
// a read past the span or an allocation larger than the input warrants.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace res {

using Bytes = std::span<const std::uint8_t>;

// One entry of a .res file. type/name are ordinals (string-named entries are skipped).
struct Entry {
    std::uint16_t type;
    std::uint16_t name;
    std::uint16_t language;
    Bytes data;
};

// Parses a whole .res image; malformed input yields an empty or partial list, never UB.
std::vector<Entry> ParseResFile(Bytes image);

// First entry of that type and name (any language).
std::optional<Bytes> Find(const std::vector<Entry>& entries, std::uint16_t type, std::uint16_t name);

struct DialogItem {
    std::uint32_t style = 0, exStyle = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::int32_t id = 0;                       // -1 for "no identifier" (0xFFFF in the standard form)
    std::uint16_t classAtom = 0;               // 0x80 Button, 0x81 Edit, 0x82 Static, 0x85 ComboBox; 0 if named
    std::u16string className;                  // when named
    std::u16string text;                       // title text, empty if ordinal
    std::optional<std::uint16_t> textOrdinal;  // e.g. the icon id of an SS_ICON static
};

struct DialogTemplate {
    bool extended = false;
    std::uint32_t style = 0, exStyle = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::u16string caption, faceName;
    std::uint16_t pointSize = 0, weight = 0;
    bool italic = false;
    std::uint8_t charset = 0;
    std::vector<DialogItem> items;
};

// DLGTEMPLATE and DLGTEMPLATEEX; nullopt unless the whole template is there.
std::optional<DialogTemplate> ParseDialog(Bytes data);

// String `id` from the RT_STRING blocks (block = id/16 + 1, index = id % 16); nullopt if absent.
// An empty slot is how a block says a string is absent, as the system's LoadString reads it.
std::optional<std::u16string> FindString(const std::vector<Entry>& entries, std::uint32_t id);

struct IconImage {
    int width = 0, height = 0;
    int bitCount = 0;
    std::vector<std::uint32_t> argb;  // 0xAARRGGBB, top row first; empty for a PNG image
    std::vector<std::uint8_t> png;    // a PNG-compressed image as stored, for a platform's decoder
};

// One image of an icon group as the group stores it: the size and depth its header gives, and its
// bytes, read only when the image is decoded.
struct StoredIconImage {
    int width = 0, height = 0;
    int bitCount = 0;
    Bytes data;
};

// The images of RT_GROUP_ICON `id` that DecodeIconImage reads (1, 4, 8, 24, 32 bpp DIBs with their
// AND mask, and PNG images), found from their headers alone; largest first, and of one size the
// deepest first.
std::vector<StoredIconImage> ListIconGroup(const std::vector<Entry>& entries, std::uint16_t id);

// The pixels of a listed image (AND mask -> alpha); a PNG image is kept whole.
std::optional<IconImage> DecodeIconImage(const StoredIconImage& image);

// Every image ListIconGroup lists, decoded.
std::vector<IconImage> LoadIconGroup(const std::vector<Entry>& entries, std::uint16_t id);

// The string table of the version block: language/codepage key (e.g. "040404b0") and key -> value,
// in file order; plus the fixed file info fields. A translation holds the language in its low word
// and the code page in its high word.
struct VersionInfo {
    std::uint32_t fileVersionMS = 0, fileVersionLS = 0, productVersionMS = 0, productVersionLS = 0,
                  fileFlagsMask = 0, fileFlags = 0, fileOS = 0, fileType = 0, fileSubtype = 0,
                  fileDateMS = 0, fileDateLS = 0;
    std::u16string stringTableKey;
    std::vector<std::pair<std::u16string, std::u16string>> strings;
    std::vector<std::uint32_t> translations;
};

std::optional<VersionInfo> ParseVersion(Bytes data);

std::string ToUtf8(std::u16string_view text);  // lone surrogates -> U+FFFD

}  // namespace res
