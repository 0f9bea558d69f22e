// Words that come from other users (a program's name from /proc, a lock file's path) made safe to
// print: a terminal takes control bytes in them as commands (a new title, a cleared screen).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// `text` with control bytes, the controls of Unicode's C1 range and its bidirectional marks, and
// bytes that are not UTF-8 written as \xNN (\u{NNNN} for a mark), cut to about `limit` bytes with
// "..." after it. Printable text within the limit stays as it is.
std::string PrintableText(std::string_view text, std::size_t limit = 200);
