// The command keeps the C locale, whose messages are ASCII.
#include "system_text.h"

std::string SystemTextAsUtf8(const std::string& text)
{
    return text;
}
