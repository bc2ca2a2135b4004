// Work buffers and the texts loaded into them.
#include <doctest.h>
#include "base/Buffers.h"
#include "res/resource.h"
#include "tests/harness/Injection.h"
#include <string.h>

TEST_CASE("a loaded text is cut to its buffer, and a missing buffer is reported")
{
    char* pszCaption = LoadTextBuffer(IDS_CAPTION);
    REQUIRE(pszCaption != NULL);
    CHECK(strcmp(pszCaption, "ZUV Izov Printer Software Wizard") == 0);
    FreeBuffer(pszCaption);

    char* pszShort = LoadTextBuffer(IDS_CAPTION, 4);
    REQUIRE(pszShort != NULL);
    CHECK(strcmp(pszShort, "ZUV") == 0);
    FreeBuffer(pszShort);

    // Whatever the allocator said, a buffer not had leaves ERROR_NOT_ENOUGH_MEMORY.
    harness::Injection injection;
    injection.Fail(harness::SEAM_ALLOCATION, 0, ERROR_ACCESS_DENIED);
    CHECK(LoadTextBuffer(IDS_CAPTION) == NULL);
    CHECK(::GetLastError() == ERROR_NOT_ENOUGH_MEMORY);
}

TEST_CASE("a copy that would not fit with its NUL leaves the buffer untouched")
{
    char szBuffer[6] = "xxxxx";
    CHECK_FALSE(CopyText(szBuffer, sizeof(szBuffer), "123456"));
    CHECK_FALSE(CopyText(szBuffer, sizeof(szBuffer), "12345+"));
    CHECK(strcmp(szBuffer, "xxxxx") == 0);
    CHECK(CopyText(szBuffer, sizeof(szBuffer), "12345"));
    CHECK(strcmp(szBuffer, "12345") == 0);
}
