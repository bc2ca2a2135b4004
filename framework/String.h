// CString: an ANSI text that owns its characters and converts to LPCSTR.
#pragma once
#include <windows.h>
#include <string>

class CString {
public:
    CString() {}
    CString(LPCSTR psz) : m_str(psz ? psz : "") {}
    CString(const CString& other) = default;
    CString& operator=(const CString& other) = default;
    CString& operator=(LPCSTR psz) { m_str = psz ? psz : ""; return *this; }

    int GetLength() const { return (int)m_str.size(); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char GetAt(int nIndex) const { return m_str.at((size_t)nIndex); }
    char operator[](int nIndex) const { return GetAt(nIndex); }
    operator LPCSTR() const { return m_str.c_str(); }

    CString& operator+=(LPCSTR psz) { if (psz) m_str += psz; return *this; }
    CString& operator+=(char ch) { m_str += ch; return *this; }
    CString& operator+=(const CString& other) { m_str += other.m_str; return *this; }

    int Compare(LPCSTR psz) const;
    int CompareNoCase(LPCSTR psz) const;
    bool operator==(LPCSTR psz) const { return Compare(psz) == 0; }
    bool operator!=(LPCSTR psz) const { return Compare(psz) != 0; }

    int Find(char ch, int nStart = 0) const;
    int Find(LPCSTR pszSub, int nStart = 0) const;
    int ReverseFind(char ch) const;
    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int nCount) const;

    void TrimLeft();
    void TrimRight();
    void Format(LPCSTR pszFormat, ...);
    BOOL LoadString(UINT nID);

    // Direct access for calls that fill a buffer: GetBuffer gives room for at least
    // nMinLength characters and a NUL; ReleaseBuffer takes the length back (-1: up to the NUL).
    LPSTR GetBuffer(int nMinLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    std::string m_str;
};

CString operator+(const CString& left, LPCSTR right);
CString operator+(LPCSTR left, const CString& right);
CString operator+(const CString& left, const CString& right);
