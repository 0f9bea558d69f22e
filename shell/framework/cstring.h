// CString: the class library's text, a string of 8-bit units in the ANSI code page (UTF-8 on
// Linux). Lengths count bytes; a character may take several.
#pragma once

#include "win32_names.h"

#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}  // NOLINT: converts as the library's does
    CString(const char* text, int length) : m_text(text, length > 0 ? length : 0) {}
    explicit CString(std::string text) : m_text(std::move(text)) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    char GetAt(int index) const { return m_text.at(static_cast<std::size_t>(index)); }
    operator const char*() const { return m_text.c_str(); }  // NOLINT: LPCTSTR, as the library's
    const std::string& Str() const { return m_text; }

    CString& operator=(const char* text);
    CString& operator+=(const CString& text);
    CString& operator+=(const char* text);
    CString& operator+=(char character);

    // Upper-cases the text as the platform does for its 8-bit code page: on Windows every character
    // of the active code page that has an upper case of the same byte length (a to z, and letters
    // such as "é" or Greek "α"); on Linux, whose 8-bit code page is UTF-8, the letters a to z only.
    // The byte length never changes, and bytes that form no character are left as they are.
    void MakeUpper();
    // Loads string resource `id` of the module; FALSE (and an empty text) when it is absent.
    BOOL LoadString(UINT id);

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }

private:
    std::string m_text;
};
