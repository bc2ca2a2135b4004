#include "tests/harness/Files.h"
#include "tests/harness/Report.h"
#include <windows.h>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string.h>

namespace harness {

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE hFind = ::FindFirstFileA((path + "\\*").c_str(), &found);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(child.c_str());
            }
        } while (::FindNextFileA(hFind, &found));
        ::FindClose(hFind);
    }
    ::RemoveDirectoryA(path.c_str());
}

std::string ProgramDirectory()
{
    char szPath[MAX_PATH];
    ::GetModuleFileNameA(NULL, szPath, MAX_PATH);
    std::string path = szPath;
    return path.substr(0, path.rfind('\\'));
}

std::string SystemInfDirectory()
{
    char szWindows[MAX_PATH];
    ::GetWindowsDirectoryA(szWindows, MAX_PATH);
    return std::string(szWindows) + "\\inf";
}

bool WriteTextFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
    file << text;
    return file.good();
}

bool ReadTextFile(const std::string& path, std::string& text)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    if (!file)
        return false;
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

std::string FileText(const std::string& path)
{
    std::string text;
    if (!ReadTextFile(path, text))
        Fail("cannot read " + path);
    return text;
}

std::vector<std::string> NamesOfList(const char* pszList)
{
    std::vector<std::string> names;
    for (const char* psz = pszList; *psz != '\0'; psz += strlen(psz) + 1)
        names.push_back(psz);
    return names;
}

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

std::vector<std::string> EntriesIn(const std::string& directory, const char* pszPattern, bool bDirectories)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE hFind = ::FindFirstFileA((directory + "\\" + pszPattern).c_str(), &found);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == bDirectories && name != "." &&
                name != "..")
                names.push_back(name);
        } while (::FindNextFileA(hFind, &found));
        ::FindClose(hFind);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::vector<std::string> FilesIn(const std::string& directory, const char* pszPattern)
{
    return EntriesIn(directory, pszPattern, false);
}

std::vector<std::string> DirectoriesIn(const std::string& directory)
{
    return EntriesIn(directory, "*", true);
}

std::string WithoutCarriageReturns(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

std::string CurrentDirectory()
{
    char szDirectory[MAX_PATH] = "";
    ::GetCurrentDirectoryA(MAX_PATH, szDirectory);
    return szDirectory;
}

TempDirectory::TempDirectory(const char* pszName)
{
    char szTemp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, szTemp);
    path = std::string(szTemp) + pszName;
    RemoveTree(path);
    ::CreateDirectoryA(path.c_str(), NULL);
}

TempDirectory::~TempDirectory()
{
    RemoveTree(path);
}

InDirectory::InDirectory(const std::string& path)
    : before(CurrentDirectory()), bEntered(::SetCurrentDirectoryA(path.c_str()) != FALSE)
{
}

InDirectory::~InDirectory()
{
    ::SetCurrentDirectoryA(before.c_str());
}

ProgramFile::ProgramFile(const char* pszName, const std::string& text) : path(ProgramDirectory() + "\\" + pszName)
{
    WriteTextFile(path, text);
}

ProgramFile::~ProgramFile()
{
    ::DeleteFileA(path.c_str());
}

} // namespace harness
