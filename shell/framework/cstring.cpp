#include "cstring.h"

#include "afx_resources.h"

#include <vector>

CString& CString::operator=(const char* text)
{
    m_text = text ? text : "";
    return *this;
}

CString& CString::operator+=(const CString& text)
{
    m_text += text.m_text;
    return *this;
}

CString& CString::operator+=(const char* text)
{
    if (text)
        m_text += text;
    return *this;
}

CString& CString::operator+=(char character)
{
    m_text += character;
    return *this;
}

BOOL CString::LoadString(UINT id)
{
    // LoadStringA cuts a text that does not fit the buffer; grow until it fits.
    for (int size = 256; size <= (1 << 20); size *= 4) {
        std::vector<char> buffer(static_cast<std::size_t>(size));
        const int length = ::LoadStringA(AfxGetResourceHandle(), id, buffer.data(), size);
        if (length < size - 1) {
            m_text.assign(buffer.data(), static_cast<std::size_t>(length > 0 ? length : 0));
            return length > 0 ? TRUE : FALSE;
        }
    }
    m_text.clear();
    return FALSE;
}
