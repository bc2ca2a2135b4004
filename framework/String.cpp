#include "String.h"
#include "WinApp.h"
#include <ctype.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

int CString::Compare(LPCSTR psz) const
{
    return strcmp(m_str.c_str(), psz ? psz : "");
}

int CString::CompareNoCase(LPCSTR psz) const
{
    return lstrcmpiA(m_str.c_str(), psz ? psz : "");
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart > GetLength())
        return -1;
    size_t pos = m_str.find(ch, (size_t)nStart);
    return pos == std::string::npos ? -1 : (int)pos;
}

int CString::Find(LPCSTR pszSub, int nStart) const
{
    if (pszSub == NULL || nStart < 0 || nStart > GetLength())
        return -1;
    size_t pos = m_str.find(pszSub, (size_t)nStart);
    return pos == std::string::npos ? -1 : (int)pos;
}

int CString::ReverseFind(char ch) const
{
    size_t pos = m_str.rfind(ch);
    return pos == std::string::npos ? -1 : (int)pos;
}

CString CString::Left(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    return CString(m_str.substr(0, (size_t)nCount).c_str());
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst >= GetLength() || nCount <= 0)
        return CString();
    return CString(m_str.substr((size_t)nFirst, (size_t)nCount).c_str());
}

CString CString::Right(int nCount) const
{
    if (nCount <= 0)
        return CString();
    if (nCount >= GetLength())
        return *this;
    return CString(m_str.substr(m_str.size() - (size_t)nCount).c_str());
}

void CString::TrimLeft()
{
    size_t first = 0;
    while (first < m_str.size() && isspace((unsigned char)m_str[first]))
        ++first;
    m_str.erase(0, first);
}

void CString::TrimRight()
{
    size_t end = m_str.size();
    while (end > 0 && isspace((unsigned char)m_str[end - 1]))
        --end;
    m_str.erase(end);
}

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list measure;
    va_copy(measure, args);
    int nLength = vsnprintf(NULL, 0, pszFormat, measure);
    va_end(measure);
    if (nLength < 0) {
        m_str.clear();
    } else {
        std::string text((size_t)nLength + 1, '\0');
        vsnprintf(&text[0], text.size(), pszFormat, args);
        text.resize((size_t)nLength);
        m_str.swap(text);
    }
    va_end(args);
}

BOOL CString::LoadString(UINT nID)
{
    // A string-table entry is at most 4097 characters long (a 16-bit count).
    char szBuffer[4098];
    int nLength = ::LoadStringA(AfxGetResourceHandle(), nID, szBuffer, (int)sizeof(szBuffer));
    m_str.assign(szBuffer, nLength > 0 ? (size_t)nLength : 0);
    return nLength > 0;
}

LPSTR CString::GetBuffer(int nMinLength)
{
    if (nMinLength > GetLength())
        m_str.resize((size_t)nMinLength);
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0 || nNewLength > GetLength())
        nNewLength = (int)strlen(m_str.c_str());
    m_str.resize((size_t)nNewLength);
}

CString operator+(const CString& left, LPCSTR right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(LPCSTR left, const CString& right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(const CString& left, const CString& right)
{
    CString result(left);
    result += right;
    return result;
}
