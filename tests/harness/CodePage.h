// Names written once for every ANSI code page. Tests write them with the characters ソ, ポ, ゼ and
// 日; in another code page each stands for that code page's character of the same kind, so that
// a name holds, wherever it runs, characters whose second byte is the byte of '\', '|' or '['
// (and another two-byte character). A code page without two-byte characters gets accented
// letters; 949 has no second byte of ASCII punctuation.
#pragma once
#include <doctest.h>
#include <windows.h>
#include <stdlib.h>
#include <string.h>
#include <string>

namespace harness {

// The text in the system's ANSI code page, with that code page's stand-ins.
inline std::string InCodePage(const wchar_t* pszText)
{
    const wchar_t kJapanese[] = L"ソポゼ日";
    const struct { UINT nCodePage; const wchar_t* pszStandIns; } kStandIns[] = {
        { 932, kJapanese }, { 936, L"乗亅乕日" }, { 950, L"功四加日" }, { 949, L"가각간한" }, { 0, L"éüßñ" } };
    size_t n = 0;
    while (kStandIns[n].nCodePage != 0 && kStandIns[n].nCodePage != ::GetACP())
        ++n;
    std::wstring text(pszText);
    for (wchar_t& ch : text) {
        if (const wchar_t* pFound = wcschr(kJapanese, ch))
            ch = kStandIns[n].pszStandIns[pFound - kJapanese];
    }
    std::string converted(text.size() * 2 + 1, '\0');
    BOOL bDefaulted = FALSE;
    int cb = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &converted[0], (int)converted.size(), NULL,
                                   &bDefaulted);
    REQUIRE_MESSAGE((cb > 0 && !bDefaulted), "code page " << ::GetACP() << " cannot write a name of the test");
    converted.resize((size_t)cb - 1);
    return converted;
}

// The code page an entry asks for (WIZARD_CODE_PAGE) is the one the process runs in: a locale
// that Wine did not take would leave the test in another one.
inline void CheckCodePage()
{
    if (const char* pszWanted = getenv("WIZARD_CODE_PAGE"))
        REQUIRE(::GetACP() == (UINT)atoi(pszWanted));
}

} // namespace harness
