#include "base/FilesAside.h"
#include "base/Directories.h"
#include "base/Messages.h"
#include "base/Text.h"
#include <string.h>

namespace {

const char kTempPrefix[] = "set";

} // namespace

BOOL FilesAside::MoveAside(LPCSTR pszDirectory, LPCSTR pszFileList)
{
    for (LPCSTR pszName = pszFileList; *pszName != '\0'; pszName += strlen(pszName) + 1) {
        std::string path = std::string(pszDirectory) + (EndsWithChar(pszDirectory, '\\') ? "" : "\\") + pszName;
        if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        // The new name is made as an empty file, which the old file then takes the place of.
        char szAside[MAX_PATH + 1] = "";
        BOOL bMoved = path.size() < MAX_PATH && MakeTempFileName(pszDirectory, kTempPrefix, szAside) != 0 &&
                      (RemoveFile(szAside) || ::GetLastError() == ERROR_FILE_NOT_FOUND) &&
                      RenameFile(path.c_str(), szAside);
        if (!bMoved) {
            DWORD dwError = path.size() < MAX_PATH ? ::GetLastError() : ERROR_FILENAME_EXCED_RANGE;
            if (szAside[0] != '\0')
                RemoveFile(szAside);
            PutBack();
            ShowSystemError(NULL, dwError, path.c_str());
            ::SetLastError(dwError);
            return FALSE;
        }
        m_moved.push_back(Moved{ pszName, path, szAside });
    }
    return TRUE;
}

void FilesAside::PutBack()
{
    for (const Moved& moved : m_moved) {
        // What the copy left under the name gives way; a name nothing took is free already.
        if (!RemoveFile(moved.path.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND) {
            ShowSystemError(NULL, ::GetLastError(), moved.aside.c_str());
            continue;
        }
        if (!RenameFile(moved.aside.c_str(), moved.path.c_str()))
            ShowSystemError(NULL, ::GetLastError(), moved.aside.c_str());
    }
    m_moved.clear();
}

void FilesAside::Drop()
{
    // A file the spooler still holds cannot go yet: the system deletes it at its next start.
    for (const Moved& moved : m_moved) {
        if (!RemoveFile(moved.aside.c_str()))
            RemoveFileAtRestart(moved.aside.c_str());
    }
    m_moved.clear();
}

bool FilesAside::HasMoved(LPCSTR pszName) const
{
    for (const Moved& moved : m_moved) {
        if (lstrcmpiA(moved.name.c_str(), pszName) == 0)
            return true;
    }
    return false;
}
