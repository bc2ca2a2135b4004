// The search for the package's driver INF: the first "*.inf" file of the current directory,
// taken when it holds the models section.
#include "base/Buffers.h"
#include "app/DriverWizardApp.h"
#include "inf/DriverInf.h"
#include <io.h>
#include <string.h>

char* FindDriverInfs(LPCSTR pszPattern)
{
    char* pszList = AllocBuffer(NAME_LIST_SIZE);
    if (pszList == NULL)
        return NULL;

    struct _finddata_t found;
    intptr_t hFind = _findfirst(pszPattern, &found);
    if (hFind != -1) {
        // Only the first match is read; the zero fill supplies the closing empty name.
        CopyText(pszList, NAME_LIST_SIZE - 1, found.name);
        _findclose(hFind);
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
