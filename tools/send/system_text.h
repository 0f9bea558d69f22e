// The system's words (a failure's reason) as UTF-8, the encoding of a --json record.
#pragma once

#include <string>

std::string SystemTextAsUtf8(const std::string& text);
