// Registering the package's printer driver: its description read from the driver INF, its
// print processor installed, its files copied into the printer-driver directory, the INF kept
// among the system's OEM INF files, and the driver registered with the spooler.
#include "install/DriverInstall.h"
#include "base/Buffers.h"
#include "base/Directories.h"
#include "base/Messages.h"
#include "base/ShellCopy.h"
#include "base/Text.h"
#include "framework/File.h"
#include "inf/DriverInf.h"
#include "install/PrintProcessor.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include <direct.h>
#include <stdio.h>
#include <string.h>
#include <string>

namespace {

const char kOemPattern[] = "OEM*.inf";
// OEM INF numbers looked at before giving up: far more than any system holds.
const int kOemNumbers = 100000;

// The file's whole content, read into a new block with room for one more byte; NULL when it
// cannot be read or does not hold exactly cbExpected bytes. The caller frees it.
char* ReadWholeFile(LPCSTR pszPath, DWORD cbExpected)
{
    char* pContent = AllocBuffer((size_t)cbExpected + 1);
    if (pContent == NULL)
        return NULL;
    try {
        CFile file(pszPath, CFile::modeRead | CFile::shareDenyNone);
        if (file.Read(pContent, cbExpected + 1) == cbExpected)
            return pContent;
    } catch (const CFileException&) {
    }
    FreeBuffer(pContent);
    return NULL;
}

// Whether the system's INF directory already holds an OEM INF with exactly this content;
// every byte counts, NUL bytes (of an INF stored in UTF-16) included.
bool HasIdenticalOemCopy(LPCSTR pszInfDirectory, LPCSTR pszPackageInf, DWORD cbPackage)
{
    char* pszPath = AllocBuffer(NAME_BUFFER_SIZE);
    char* pPackage = ReadWholeFile(pszPackageInf, cbPackage);
    bool bIdentical = false;
    if (pszPath != NULL && pPackage != NULL && strlen(pszInfDirectory) + sizeof(kOemPattern) <= NAME_BUFFER_SIZE) {
        strcat(strcpy(pszPath, pszInfDirectory), kOemPattern);
        WIN32_FIND_DATAA found;
        HANDLE hFind = FindFirstEntry(pszPath, &found);
        if (hFind != INVALID_HANDLE_VALUE) {
            do {
                if (found.nFileSizeLow != cbPackage ||
                    strlen(pszInfDirectory) + strlen(found.cFileName) >= NAME_BUFFER_SIZE)
                    continue;
                strcat(strcpy(pszPath, pszInfDirectory), found.cFileName);
                char* pCopy = ReadWholeFile(pszPath, cbPackage);
                bIdentical = pCopy != NULL && memcmp(pCopy, pPackage, cbPackage) == 0;
                FreeBuffer(pCopy);
            } while (!bIdentical && FindNextEntry(hFind, &found));
            ::FindClose(hFind);
        }
    }
    FreeBuffer(pszPath);
    FreeBuffer(pPackage);
    return bIdentical;
}

// Keeps one copy of the package INF among the system's OEM INF files under the lowest free
// number, unless an identical one is there already. Nothing is reported.
void CopyInfToOemFiles(LPCSTR pszInfFile)
{
    WIN32_FIND_DATAA package;
    HANDLE hFind = FindFirstEntry(pszInfFile, &package);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    ::FindClose(hFind);

    char* pszInfDirectory = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszCopy = AllocBuffer(NAME_BUFFER_SIZE);
    DWORD cch = pszInfDirectory ? ::GetWindowsDirectoryA(pszInfDirectory, (DWORD)NAME_BUFFER_SIZE) : 0;
    if (pszCopy != NULL && cch > 0 && cch + sizeof("\\inf\\OEM99999.inf") <= NAME_BUFFER_SIZE) {
        strcat(pszInfDirectory, "\\inf\\");
        bool bFree = false;
        if (!HasIdenticalOemCopy(pszInfDirectory, package.cFileName, package.nFileSizeLow)) {
            // A number is free only where no file is: one whose attributes cannot be read may
            // be there.
            for (int n = 0; n < kOemNumbers && !bFree; ++n) {
                sprintf(pszCopy, "%sOEM%d.inf", pszInfDirectory, n);
                bFree = ::GetFileAttributesA(pszCopy) == INVALID_FILE_ATTRIBUTES &&
                        ::GetLastError() == ERROR_FILE_NOT_FOUND;
            }
        }
        // An existing OEM file is never overwritten.
        if (bFree && CopyOneFile(pszInfFile, pszCopy, TRUE)) {
            DWORD dwAttributes = ::GetFileAttributesA(pszCopy);
            if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY))
                ::SetFileAttributesA(pszCopy, dwAttributes & ~FILE_ATTRIBUTE_READONLY);
        }
    }
    FreeBuffer(pszInfDirectory);
    FreeBuffer(pszCopy);
}

// Installs the package INF with the system's own call when its catalog is there; otherwise,
// or when that call fails, keeps an OEM copy of it.
void InstallPackageInf(LPCSTR pszInfFile)
{
    char* pszPath = AllocBuffer(NAME_BUFFER_SIZE);
    bool bInstalled = false;
    if (pszPath != NULL && HasCatalogFile(pszInfFile) && _getcwd(pszPath, (int)NAME_BUFFER_SIZE) != NULL &&
        strlen(pszPath) + 1 + strlen(pszInfFile) < NAME_BUFFER_SIZE) {
        strcat(strcat(pszPath, "\\"), pszInfFile);
        bInstalled = ThePlatform().SetupCopyOEMInfA(pszPath, NULL, SPOST_PATH, 0, NULL, 0, NULL, NULL) != FALSE;
    }
    FreeBuffer(pszPath);
    if (!bInstalled)
        CopyInfToOemFiles(pszInfFile);
}

// The printer-driver directory, into a NAME_BUFFER_SIZE block; FALSE, after telling the user,
// when the spooler does not give it.
BOOL ReadDriverDirectory(LPCSTR pszEnvironment, char* pszDirectory)
{
    DWORD cbNeeded = 0;
    if (ThePlatform().GetPrinterDriverDirectoryA(const_cast<LPSTR>(pszEnvironment), 1,
                                                 reinterpret_cast<LPBYTE>(pszDirectory), (DWORD)NAME_BUFFER_SIZE,
                                                 &cbNeeded))
        return TRUE;
    // Back on the printer page, the user would not know why.
    ShowSystemError(NULL, ::GetLastError());
    return FALSE;
}

// Whether the driver directory, or its version-3 directory where the spooler keeps what it has
// installed, holds the file.
bool IsInstalledDriverFile(LPCSTR pszDirectory, LPCSTR pszFile)
{
    for (const char* pszSub : { "\\", "\\3\\" }) {
        if (::GetFileAttributesA((std::string(pszDirectory) + pszSub + pszFile).c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
    }
    return false;
}

// Every name the INF gives the driver is a file's own name, and each of its files is copied from
// the package, under its own name, from the file the INF gives as its source. A file that the
// sections named by Needs copy and the package lacks is one the system has installed already,
// found in the driver directory. The lists of the files to copy, and of their names there, go
// into pszSources and pszTargets (FILE_LIST_SIZE blocks). FALSE, after telling the user, when a
// name is not a file's own or a file is nowhere: nothing is touched.
BOOL ListDriverCopies(const DriverInf& inf, LPCSTR pszDirectory, char* pszSources, char* pszTargets)
{
    DWORD dwError = ERROR_SUCCESS;
    for (LPCSTR pszName : { inf.m_pszDriverFile, inf.m_pszDataFile, inf.m_pszConfigFile, inf.m_pszHelpFile }) {
        if (pszName[0] != '\0' && !IsPlainFileName(pszName))
            dwError = ERROR_INVALID_NAME;
    }
    // Each list takes at most the names of the INF's own list of it, which fit their blocks.
    char* pszNextSource = pszSources;
    char* pszNextTarget = pszTargets;
    LPCSTR pszSource = inf.m_pszSourceFiles;
    for (LPCSTR pszFile = inf.m_pszDependentFiles; dwError == ERROR_SUCCESS && *pszFile != '\0';
         pszFile += strlen(pszFile) + 1, pszSource += strlen(pszSource) + 1) {
        bool bNeeded = pszFile - inf.m_pszDependentFiles >= inf.m_cbPackageFiles;
        if (!IsPlainFileName(pszFile) || !IsPlainFileName(pszSource)) {
            dwError = ERROR_INVALID_NAME;
        } else if (::GetFileAttributesA(pszSource) != INVALID_FILE_ATTRIBUTES) {
            pszNextSource += strlen(strcpy(pszNextSource, pszSource)) + 1;
            pszNextTarget += strlen(strcpy(pszNextTarget, pszFile)) + 1;
        } else if (!bNeeded || !IsInstalledDriverFile(pszDirectory, pszFile)) {
            dwError = ERROR_FILE_NOT_FOUND;
        }
    }
    if (dwError == ERROR_SUCCESS) {
        std::string processor = std::string(inf.m_pszPrintProcessorFile) + '\0';
        return CheckCopySources(processor.c_str());
    }
    TellCopyFailure(dwError);
    return FALSE;
}
// Copies the driver's files, keeps the INF among the OEM INF files and registers the driver;
// TRUE when the spooler took it. Each failure is told.
BOOL RegisterDriver(DriverInf& inf, LPCSTR pszInfFile, LPCSTR pszDriverName, LPCSTR pszEnvironment,
                    LPCSTR pszDirectory, LPCSTR pszSources, LPCSTR pszTargets)
{
    // A copy that failed or was cancelled would leave the driver registered on the files of an
    // earlier installation, or on none: nothing is registered. The copy has said why. Files
    // copied from sources of other names get their own names.
    bool bRenamed = memcmp(pszSources, pszTargets, FILE_LIST_SIZE) != 0;
    if (pszSources[0] != '\0' && !CopyFilesToDirectory(pszSources, pszDirectory, bRenamed ? pszTargets : NULL))
        return FALSE;

    InstallPackageInf(pszInfFile);

    // The description's own buffers serve as the record's strings: the object outlives the call.
    DRIVER_INFO_3A info;
    ZeroMemory(&info, sizeof(info));
    info.cVersion = 3;
    info.pName = const_cast<LPSTR>(pszDriverName);
    info.pEnvironment = const_cast<LPSTR>(pszEnvironment);
    info.pDriverPath = inf.m_pszDriverFile;
    info.pDataFile = inf.m_pszDataFile;
    info.pConfigFile = inf.m_pszConfigFile;
    info.pHelpFile = inf.m_pszHelpFile;
    info.pDependentFiles = inf.m_pszDependentFiles;
    info.pMonitorName = NULL;
    info.pDefaultDataType = inf.m_pszDefaultDataType;
    BOOL bRegistered = ThePlatform().AddPrinterDriverExA(3, reinterpret_cast<LPBYTE>(&info), APD_COPY_ALL_FILES);
    if (!bRegistered)
        ShowSystemError(NULL, ::GetLastError());
    return bRegistered;
}

} // namespace

BOOL HasCatalogFile(LPCSTR pszInfFile)
{
    char* pszVersion = LoadTextBuffer(IDS_SECTION_VERSION);
    if (pszVersion == NULL)
        return FALSE;
    BOOL bPresent = FALSE;
    {
        DriverInf inf(pszInfFile, "");
        char* pszCatalog = inf.HasBuffers() ? inf.GetFieldValue(1, pszVersion, "CatalogFile") : NULL;
        WIN32_FIND_DATAA found;
        HANDLE hFind = pszCatalog != NULL && pszCatalog[0] != '\0' ? FindFirstEntry(pszCatalog, &found)
                                                                   : INVALID_HANDLE_VALUE;
        if (hFind != INVALID_HANDLE_VALUE) {
            bPresent = found.nFileSizeLow > 0;
            ::FindClose(hFind);
        }
        FreeBuffer(pszCatalog);
    }
    FreeBuffer(pszVersion);
    return bPresent;
}

BOOL InstallPrinterDriver(LPCSTR pszInfFile, LPCSTR pszDriverName, LPCSTR pszEnvironment, CString& strPrintProcessor)
{
    // A description read without some of its work buffers lacks what they would have held: no
    // driver is registered from it, and no print processor installed, as for any step that
    // could not have its buffers.
    unsigned nRefused = BuffersRefused();
    DriverInf inf(pszInfFile, pszDriverName);
    inf.ReadDriverInfo();
    char* pszDirectory = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszSources = AllocBuffer(FILE_LIST_SIZE);
    char* pszTargets = AllocBuffer(FILE_LIST_SIZE);
    BOOL bRegistered = FALSE;
    if (!inf.HasBuffers() || pszDirectory == NULL || pszSources == NULL || pszTargets == NULL ||
        BuffersRefused() != nRefused) {
        // Nothing is installed, without a word.
    } else if (inf.IsFileListCut()) {
        // A list that could not hold every file the INF names would register the driver without
        // the rest.
        ShowSystemError(NULL, ERROR_INSUFFICIENT_BUFFER);
    } else if (ReadDriverDirectory(pszEnvironment, pszDirectory) &&
               ListDriverCopies(inf, pszDirectory, pszSources, pszTargets)) {
        // A driver whose print processor is not in place would print nowhere: the failure was
        // told, and nothing more is installed. The processor replaced comes back if the driver
        // fails.
        strPrintProcessor = inf.m_pszPrintProcessor;
        LPCSTR pszProcessorFile = inf.m_pszPrintProcessorFile;
        ProcessorRemoval removal;
        if (pszProcessorFile[0] == '\0' ||
            InstallPrintProcessor(strPrintProcessor, pszProcessorFile, pszEnvironment, &removal)) {
            bRegistered =
                RegisterDriver(inf, pszInfFile, pszDriverName, pszEnvironment, pszDirectory, pszSources, pszTargets);
            if (pszProcessorFile[0] != '\0')
                EndProcessorReplacement(strPrintProcessor, pszProcessorFile, pszEnvironment, removal, bRegistered);
        }
    }
    FreeBuffer(pszDirectory);
    FreeBuffer(pszSources);
    FreeBuffer(pszTargets);
    return bRegistered;
}
