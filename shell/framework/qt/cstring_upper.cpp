// Linux's 8-bit code page is UTF-8, where no C library call upper-cases a multi-byte character in
// place: the letters a to z are the platform's upper-casing here, and every other byte stays.
#include "cstring.h"

void CString::MakeUpper()
{
    for (char& c : m_text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
}
