// Walking ANSI text by characters. In the double-byte code pages of Japanese, Chinese and Korean
// systems (932, 936, 949, 950) a character may take two bytes, and its second byte may be the
// byte of '\', '|', '@' or '['. Every look into a name, a path or an INF value for a separator,
// an illegal character, its last character or a place to cut steps through characters here,
// never through bytes. A lead byte with the text's end right after it is a character of its own.
// The walk takes the test of a lead byte as an argument: the program's is the system's ANSI code
// page (IsSystemLeadByte); the text rules that are built and fuzzed without Windows bring their
// own.
#pragma once
#include <stddef.h>
#include <string.h>

typedef bool (*LeadByteTest)(unsigned char ch);

// Whether the byte begins a two-byte character in the system's ANSI code page.
bool IsSystemLeadByte(unsigned char ch);

// The character after the one at psz; psz itself at the text's end.
inline const char* NextChar(const char* psz, LeadByteTest isLead = IsSystemLeadByte)
{
    if (*psz == '\0')
        return psz;
    return isLead((unsigned char)*psz) && psz[1] != '\0' ? psz + 2 : psz + 1;
}

inline char* NextChar(char* psz, LeadByteTest isLead = IsSystemLeadByte)
{
    return const_cast<char*>(NextChar(static_cast<const char*>(psz), isLead));
}

// The first character of the text that is one of pszSet (single-byte characters), or NULL.
inline const char* FindCharIn(const char* psz, const char* pszSet, LeadByteTest isLead = IsSystemLeadByte)
{
    for (; *psz != '\0'; psz = NextChar(psz, isLead)) {
        if (strchr(pszSet, *psz) != NULL)
            return psz;
    }
    return NULL;
}

// The first character ch (a single-byte character) of the text, or NULL.
inline const char* FindChar(const char* psz, char ch, LeadByteTest isLead = IsSystemLeadByte)
{
    const char set[] = { ch, '\0' };
    return FindCharIn(psz, set, isLead);
}

inline char* FindChar(char* psz, char ch, LeadByteTest isLead = IsSystemLeadByte)
{
    return const_cast<char*>(FindChar(static_cast<const char*>(psz), ch, isLead));
}

// The last character ch (a single-byte character) of the text, or NULL.
inline const char* FindLastChar(const char* psz, char ch, LeadByteTest isLead = IsSystemLeadByte)
{
    const char* pFound = NULL;
    for (const char* p = psz; (p = FindChar(p, ch, isLead)) != NULL; p = NextChar(p, isLead))
        pFound = p;
    return pFound;
}

inline char* FindLastChar(char* psz, char ch, LeadByteTest isLead = IsSystemLeadByte)
{
    return const_cast<char*>(FindLastChar(static_cast<const char*>(psz), ch, isLead));
}

// The first place where the text holds pszWhat beginning at one of its characters, or NULL.
inline const char* FindSubstring(const char* psz, const char* pszWhat, LeadByteTest isLead = IsSystemLeadByte)
{
    size_t cchWhat = strlen(pszWhat);
    for (;; psz = NextChar(psz, isLead)) {
        if (strncmp(psz, pszWhat, cchWhat) == 0)
            return psz;
        if (*psz == '\0')
            return NULL;
    }
}

// Whether the text begins with a drive: a single-byte character, then a colon.
inline bool BeginsWithDrive(const char* psz, LeadByteTest isLead = IsSystemLeadByte)
{
    return *psz != '\0' && !isLead((unsigned char)*psz) && psz[1] == ':';
}

// Whether the last character of the text is ch (a single-byte character).
inline bool EndsWithChar(const char* psz, char ch, LeadByteTest isLead = IsSystemLeadByte)
{
    const char* pLast = NULL;
    for (const char* p = psz; *p != '\0'; p = NextChar(p, isLead))
        pLast = p;
    return pLast != NULL && *pLast == ch;
}

// The length in bytes of the text's longest beginning that holds whole characters only and is
// at most cbMost bytes long.
inline size_t WholeCharsLength(const char* psz, size_t cbMost, LeadByteTest isLead = IsSystemLeadByte)
{
    const char* pEnd = psz;
    for (const char* pNext; *pEnd != '\0' && (size_t)((pNext = NextChar(pEnd, isLead)) - psz) <= cbMost;)
        pEnd = pNext;
    return (size_t)(pEnd - psz);
}

// Copies into a block of cb bytes (cb > 0) as many whole characters of the text as fit with the
// NUL; a character is never cut in two. True when the whole text fitted.
inline bool CopyWholeChars(char* pszDest, size_t cb, const char* pszSource, LeadByteTest isLead = IsSystemLeadByte)
{
    size_t cch = WholeCharsLength(pszSource, cb - 1, isLead);
    memmove(pszDest, pszSource, cch);
    pszDest[cch] = '\0';
    return pszSource[cch] == '\0';
}

// Whether the name is a file's own name, which a directory holds as a file of its own: not
// empty, no directory, drive or wildcard in it (it would reach another file, or several), and
// not a name of dots alone (the directory itself, or its parent).
inline bool IsPlainFileName(const char* pszName, LeadByteTest isLead = IsSystemLeadByte)
{
    return pszName[0] != '\0' && FindCharIn(pszName, "\\/:*?", isLead) == NULL &&
           pszName[strspn(pszName, ".")] != '\0';
}
