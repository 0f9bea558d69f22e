// The version block: a tree of nodes, each a 16-bit total length, value length and type (1 text,
// 0 binary), a NUL-terminated key, its value and its children, every part on a 4-byte boundary.
// The root "VS_VERSION_INFO" holds the fixed file info as its value; its children are
// "StringFileInfo" (string tables of key/value texts) and "VarFileInfo" (the translations).
#include <algorithm>

#include "byte_cursor.h"
#include "resource_reader.h"

namespace res {
namespace {

constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::size_t kFixedInfoSize = 52;
constexpr std::uint16_t kTextValue = 1;
constexpr std::size_t kNodeFixedSize = 6;

struct Node {
    std::u16string key;
    Bytes value;
    Bytes children;
    std::size_t next = 0;  // where the following sibling starts
};

// The node at `offset`, with its value and children clamped to its own length.
std::optional<Node> ReadNode(Bytes data, std::size_t offset)
{
    detail::ByteCursor in(data, offset);
    const std::uint16_t length = in.U16();
    const std::uint16_t valueLength = in.U16();
    const std::uint16_t type = in.U16();
    Node node{in.Sz(), {}, {}, 0};
    in.AlignTo4();
    if (!in.Ok() || length < kNodeFixedSize || length > data.size() - offset ||
        in.Offset() > offset + length) {
        return std::nullopt;
    }
    const std::size_t end = offset + length;
    const std::size_t valueBytes = type == kTextValue ? 2 * std::size_t{valueLength} : valueLength;
    const std::size_t valueEnd = std::min(in.Offset() + valueBytes, end);
    node.value = data.subspan(in.Offset(), valueEnd - in.Offset());
    const std::size_t childrenStart = std::min(detail::AlignUp4(valueEnd), end);
    node.children = data.subspan(childrenStart, end - childrenStart);
    node.next = detail::AlignUp4(end);
    return node;
}

// The well-formed children of a node, in order, up to the first malformed one.
std::vector<Node> Children(Bytes children)
{
    std::vector<Node> nodes;
    for (std::size_t offset = 0; offset < children.size();) {
        auto node = ReadNode(children, offset);
        if (!node) {
            break;
        }
        offset = node->next;
        nodes.push_back(std::move(*node));
    }
    return nodes;
}

std::u16string TextOf(Bytes value)
{
    detail::ByteCursor in(value);
    std::u16string text = in.Chars(value.size() / 2);
    return text.substr(0, text.find(u'\0'));
}

bool ReadFixedInfo(Bytes value, VersionInfo& info)
{
    detail::ByteCursor in(value);
    const bool signatureMatches = in.U32() == kFixedInfoSignature;
    in.Skip(4);  // structure version
    for (std::uint32_t* field : {&info.fileVersionMS, &info.fileVersionLS, &info.productVersionMS,
                                 &info.productVersionLS, &info.fileFlagsMask, &info.fileFlags,
                                 &info.fileOS, &info.fileType, &info.fileSubtype, &info.fileDateMS,
                                 &info.fileDateLS}) {
        *field = in.U32();
    }
    return signatureMatches && in.Ok();
}

// The first string table; false when the node holds none.
bool ReadStringFileInfo(const Node& node, VersionInfo& info)
{
    const auto tables = Children(node.children);
    if (tables.empty()) {
        return false;
    }
    info.stringTableKey = tables.front().key;
    for (const auto& string : Children(tables.front().children)) {
        info.strings.emplace_back(string.key, TextOf(string.value));
    }
    return true;
}

void ReadVarFileInfo(const Node& node, VersionInfo& info)
{
    for (const auto& var : Children(node.children)) {
        if (var.key != u"Translation") {
            continue;
        }
        detail::ByteCursor in(var.value);
        while (in.Remaining() >= 4) {
            info.translations.push_back(in.U32());
        }
    }
}

}  // namespace

std::optional<VersionInfo> ParseVersion(Bytes data)
{
    const auto root = ReadNode(data, 0);
    if (!root || root->key != u"VS_VERSION_INFO") {
        return std::nullopt;
    }
    VersionInfo info;
    if (!root->value.empty() && (root->value.size() < kFixedInfoSize || !ReadFixedInfo(root->value, info))) {
        return std::nullopt;
    }
    bool stringsRead = false;
    for (const auto& child : Children(root->children)) {
        if (child.key == u"StringFileInfo" && !stringsRead) {
            stringsRead = ReadStringFileInfo(child, info);
        } else if (child.key == u"VarFileInfo") {
            ReadVarFileInfo(child, info);
        }
    }
    return info;
}

}  // namespace res
