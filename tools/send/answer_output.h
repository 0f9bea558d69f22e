// What one exchange prints on standard output.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// The bytes in hex, `separator` between them: "7E 81", "7E81".
std::string HexText(const std::vector<std::uint8_t>& bytes, const char* separator);

// One line per byte, the dialog's eight binary digits; or, with `hex`, the bytes in hex on one
// line (an empty line for no answer). The stream's text mode gives the platform's line ending.
void PrintAnswer(std::ostream& out, const std::vector<std::uint8_t>& answer, bool hex);
