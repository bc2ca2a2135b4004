// CFile and its exception.
#include <doctest.h>
#include "framework/File.h"
#include <string>

namespace {

std::string TempPath(const char* pszName)
{
    char szTemp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, szTemp);
    return std::string(szTemp) + pszName;
}

} // namespace

TEST_CASE("a file is written, measured and read back")
{
    std::string path = TempPath("cfile-roundtrip.bin");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        file.Write("abc\0def", 7);
        file.Close();
    }
    CFile file(path.c_str(), CFile::modeRead);
    CHECK(file.GetLength() == 7);
    char buffer[16] = {};
    CHECK(file.Read(buffer, sizeof(buffer)) == 7);
    CHECK(std::string(buffer, 7) == std::string("abc\0def", 7));
    CHECK(file.Read(buffer, sizeof(buffer)) == 0);
    file.Close();
    CFile::Remove(path.c_str());
}

TEST_CASE("opening a missing file fails with its cause, by result or by exception")
{
    std::string path = TempPath("cfile-missing.bin");
    CFile file;
    CFileException error;
    CHECK_FALSE(file.Open(path.c_str(), CFile::modeRead, &error));
    CHECK(error.m_cause == CFileException::fileNotFound);
    CHECK(error.m_lOsError == ERROR_FILE_NOT_FOUND);
    CHECK(error.m_strFileName == path.c_str());

    bool bThrown = false;
    try {
        CFile missing(path.c_str(), CFile::modeRead);
    } catch (const CFileException& e) {
        bThrown = true;
        CHECK(e.m_cause == CFileException::fileNotFound);
    }
    CHECK(bThrown);
}

TEST_CASE("renaming and removing report their failures by exception")
{
    std::string from = TempPath("cfile-from.bin");
    std::string to = TempPath("cfile-to.bin");
    ::DeleteFileA(from.c_str());
    ::DeleteFileA(to.c_str());

    int nCause = CFileException::none;
    try {
        CFile::Remove(from.c_str());
    } catch (const CFileException& e) {
        nCause = e.m_cause;
    }
    CHECK(nCause == CFileException::fileNotFound);

    { CFile created(from.c_str(), CFile::modeCreate | CFile::modeWrite); }
    { CFile created(to.c_str(), CFile::modeCreate | CFile::modeWrite); }
    nCause = CFileException::none;
    try {
        CFile::Rename(from.c_str(), to.c_str());
    } catch (const CFileException& e) {
        nCause = e.m_cause;
    }
    CHECK(nCause == CFileException::accessDenied);

    CFile::Remove(to.c_str());
    CFile::Rename(from.c_str(), to.c_str());
    CHECK(::GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES);
    CHECK(::GetFileAttributesA(from.c_str()) == INVALID_FILE_ATTRIBUTES);
    CFile::Remove(to.c_str());
}
