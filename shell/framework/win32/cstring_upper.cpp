// The platform's upper-casing of the active code page, one character at a time: a character is
// taken whole (one byte, a lead and trail byte, or a UTF-8 sequence), upper-cased by the system,
// and put back only when its upper case takes as many bytes in the code page, so the text keeps
// its byte length as the class library's in-place upper-casing does. Bytes that form no character
// of the code page are kept as they are, never replaced by a default character.
#include "cstring.h"

#include <windows.h>

namespace {

constexpr int kLongestCharacter = 4;  // bytes of one character in any ANSI code page, UTF-8 included

// The bytes of the character at `at` and its UTF-16 form; 0 when no character starts there.
int CharacterAt(const std::string& text, std::size_t at, wchar_t (&wide)[2], int& wideLength)
{
    for (int bytes = 1; bytes <= kLongestCharacter && at + static_cast<std::size_t>(bytes) <= text.size(); ++bytes) {
        wideLength = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data() + at, bytes, wide, 2);
        if (wideLength > 0)
            return bytes;
    }
    return 0;
}

// Replaces the `bytes` bytes at `at` with the upper case of `wide`, when it has the same length.
void UpperCaseInPlace(std::string& text, std::size_t at, int bytes, wchar_t (&wide)[2], int wideLength)
{
    ::CharUpperBuffW(wide, static_cast<DWORD>(wideLength));
    char upper[kLongestCharacter] = {};
    BOOL defaulted = FALSE;
    // UTF-8 takes no default-character flag; any other code page reports a character it lacks.
    const bool utf8 = ::GetACP() == CP_UTF8;
    const int length = ::WideCharToMultiByte(CP_ACP, 0, wide, wideLength, upper, kLongestCharacter, nullptr,
                                             utf8 ? nullptr : &defaulted);
    if (length == bytes && !defaulted)
        text.replace(at, static_cast<std::size_t>(bytes), upper, static_cast<std::size_t>(bytes));
}

}  // namespace

void CString::MakeUpper()
{
    for (std::size_t at = 0; at < m_text.size();) {
        wchar_t wide[2] = {};
        int wideLength = 0;
        const int bytes = CharacterAt(m_text, at, wide, wideLength);
        if (bytes == 0) {
            ++at;
            continue;
        }
        UpperCaseInPlace(m_text, at, bytes, wide, wideLength);
        at += static_cast<std::size_t>(bytes);
    }
}
