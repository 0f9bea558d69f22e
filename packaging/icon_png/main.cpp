// vornikal-icon-png RES SIZE OUT.png: writes the SIZE x SIZE image of the main icon group of a
// compiled .res as a PNG. Run by the build, so the installed theme icons are the module's own icon.
#include "icon_png.h"
#include "resource.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::optional<std::vector<std::uint8_t>> ReadFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int Export(const char* resPath, int size, const char* pngPath)
{
    const auto image = ReadFile(resPath);
    if (!image) {
        std::cerr << "vornikal-icon-png: cannot read " << resPath << '\n';
        return 1;
    }
    const auto entries = res::ParseResFile(*image);
    const auto icon = packaging::IconGroupImage(entries, IDI_MAIN_ICON, size);
    if (!icon) {
        std::cerr << "vornikal-icon-png: " << resPath << " has no " << size << "x" << size
                  << " image in icon group " << IDI_MAIN_ICON << '\n';
        return 1;
    }
    if (!icon->save(QString::fromLocal8Bit(pngPath), "PNG")) {
        std::remove(pngPath);
        std::cerr << "vornikal-icon-png: cannot write " << pngPath << '\n';
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    int size = 0;
    if (argc != 4 || (size = std::atoi(argv[2])) <= 0) {
        std::cerr << "usage: " << argv[0] << " RES SIZE OUT.png\n";
        return 2;
    }
    return Export(argv[1], size, argv[3]);
}
