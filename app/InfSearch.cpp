// The search for the package's driver INF: the first "*.inf" file of the current directory,
// taken when it holds the models section.
#include "base/Buffers.h"
#include "app/DriverWizardApp.h"
#include "base/Directories.h"
#include "inf/DriverInf.h"
#include <string.h>

char* FindDriverInfs(LPCSTR pszPattern)
{
    char* pszList = AllocBuffer(NAME_LIST_SIZE);
    if (pszList == NULL)
        return NULL;

    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstEntry(pszPattern, &found);
    if (hFind != INVALID_HANDLE_VALUE) {
        // Only the first match is read; the zero fill supplies the closing empty name.
        CopyText(pszList, NAME_LIST_SIZE - 1, found.cFileName);
        ::FindClose(hFind);
    }
    return pszList;
}

LPCSTR CDriverWizardApp::FindInstallableInf(LPCSTR pszCandidates)
{
    LPCSTR pszName = pszCandidates;
    for (; *pszName != '\0'; pszName += strlen(pszName) + 1) {
        DriverInf inf(pszName, "");
        if (inf.HasModelsSection())
            return pszName;
    }
    return pszName;
}
