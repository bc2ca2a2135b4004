// Text walked by characters of the system's ANSI code page. ctest runs this, and the monitor INF's
// Windows 2000 rules, under each double-byte code page and under 1252; the names are written once
// (harness/CodePage.h).
#include <doctest.h>
#include "base/Text.h"
#include "tests/harness/CodePage.h"
#include <string>

using namespace harness;

namespace {

std::string From(const char* pFound)
{
    return pFound != NULL ? pFound : "-";
}

std::string YesNo(bool b)
{
    return b ? "yes" : "no";
}

std::string CutOneByteShort(const char* psz)
{
    std::string cut(strlen(psz), 'x');
    return CopyWholeChars(&cut[0], cut.size(), psz) ? "whole" : cut.c_str();
}

// A look into the text, and what it finds: the text from the character found ("-" for none),
// yes or no, or what was read.
const struct {
    const wchar_t* pszText;
    std::string (*look)(const char* psz);
    const wchar_t* pszFound;
} kRows[] = {
    { L"日ソ\\ポ", [](const char* p) { return From(FindChar(p, '\\')); }, L"\\ポ" },
    { L"C:\\dir\\nameソ", [](const char* p) { return From(FindLastChar(p, '\\')); }, L"\\nameソ" },
    { L"ソポ", [](const char* p) { return From(FindLastChar(p, '\\')); }, L"-" },
    // The printer name's twelve characters, and the directory part's seven.
    { L"Izov ソポ日", [](const char* p) { return From(FindCharIn(p, "=,;\\*?/<>|\":")); }, L"-" },
    { L"Izov ポ|ソ", [](const char* p) { return From(FindCharIn(p, "=,;\\*?/<>|\":")); }, L"|ソ" },
    { L"Izov ソ\\ポ", [](const char* p) { return From(FindCharIn(p, "=,;\\*?/<>|\":")); }, L"\\ポ" },
    { L"copiesソ\\izovポ", [](const char* p) { return From(FindCharIn(p, ":*?\"<>|")); }, L"-" },
    { L"ソ<ポ", [](const char* p) { return From(FindCharIn(p, ":*?\"<>|")); }, L"<ポ" },
    { L"copiesソ\\izov", [](const char* p) { return From(FindSubstring(p, "\\\\")); }, L"-" },
    { L"copiesソ\\\\izov", [](const char* p) { return From(FindSubstring(p, "\\\\")); }, L"\\\\izov" },
    { L"C:\\copiesソ", [](const char* p) { return YesNo(EndsWithChar(p, '\\')); }, L"no" },
    { L"C:\\copiesソ\\", [](const char* p) { return YesNo(EndsWithChar(p, '\\')); }, L"yes" },
    { L"", [](const char* p) { return YesNo(EndsWithChar(p, '\\')); }, L"no" },
    // A buffer one byte too short for the text ends before the last character, whole.
    { L"abソ", CutOneByteShort, L"ab" },
    { L"ソポ", CutOneByteShort, L"ソ" },
    { L"IZOVソポ.DLL", [](const char* p) { return YesNo(IsPlainFileName(p)); }, L"yes" },
    { L"日\\IZOV.DLL", [](const char* p) { return YesNo(IsPlainFileName(p)); }, L"no" },
    { L"*.DLL", [](const char* p) { return YesNo(IsPlainFileName(p)); }, L"no" },
    { L"...", [](const char* p) { return YesNo(IsPlainFileName(p)); }, L"no" },
};

} // namespace

TEST_CASE("text walked by characters: separators, illegal characters, the last character and cuts")
{
    CheckCodePage();
    for (const auto& row : kRows) {
        std::string text = InCodePage(row.pszText);
        CAPTURE(text);
        CHECK(row.look(text.c_str()) == InCodePage(row.pszFound));
    }
    // A lead byte whose second byte the text's end cut off is a character of its own: no step
    // goes past the end.
    std::string cut = InCodePage(L"aソ");
    cut.resize(cut.size() - 1);
    CHECK(NextChar(cut.c_str() + 1) == cut.c_str() + cut.size());
}
