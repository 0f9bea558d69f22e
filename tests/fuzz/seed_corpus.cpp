// Writes the fuzzers' seed corpora at build time, so no input is committed as a binary file:
// the embedded .res image whole and each of its entries alone, and a set of count and byte texts.
// seed_corpus <resources folder> <conversions folder>
#include "embedded_resources.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& file, const void* data, std::size_t size)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void WriteResourceSeeds(const fs::path& folder)
{
    const res::Bytes image = res::EmbeddedImage();
    Write(folder / "image.res", image.data(), image.size());
    for (const res::Entry& entry : res::ParseResFile(image)) {
        const std::string name = "entry-" + std::to_string(entry.type) + "-" + std::to_string(entry.name);
        Write(folder / name, entry.data.data(), entry.data.size());
    }
}

void WriteConversionSeeds(const fs::path& folder)
{
    const std::string texts[] = {"", "4", "0", "-1", "+3", " \t2", "3abc", "2147483648", "-2147483649",
                                 "99999999999", "7E", "a5", "ff", "zz", "\xC3\xA9", "G0"};
    int index = 0;
    for (const std::string& text : texts)
        Write(folder / ("text-" + std::to_string(index++)), text.data(), text.size());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: seed_corpus <resources folder> <conversions folder>\n";
        return 2;
    }
    for (int i = 1; i < argc; ++i)
        fs::create_directories(argv[i]);
    WriteResourceSeeds(argv[1]);
    WriteConversionSeeds(argv[2]);
    return 0;
}
