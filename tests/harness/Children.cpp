#include "tests/harness/Children.h"
#include "tests/harness/Report.h"
#include <map>
#include <string>

namespace harness {

namespace {

std::map<std::string, ChildMain>& Children()
{
    static std::map<std::string, ChildMain> children;
    return children;
}

} // namespace

ChildRegistration::ChildRegistration(const char* pszName, ChildMain pfnMain)
{
    Children()[pszName] = pfnMain;
}

int RunChild(const char* pszName, const char* pszBoxesFile)
{
    if (pszBoxesFile != NULL)
        HandBoxesTo(pszBoxesFile);
    std::map<std::string, ChildMain>::iterator it = Children().find(pszName);
    return it != Children().end() ? it->second() : 99;
}

HANDLE TokenWithoutAdminRights()
{
    HANDLE hToken = NULL;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, &hToken))
        return NULL;
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID pAdmins = NULL;
    HANDLE hRestricted = NULL;
    if (::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                   0, 0, &pAdmins)) {
        SID_AND_ATTRIBUTES denyOnly = { pAdmins, 0 };
        if (!::CreateRestrictedToken(hToken, 0, 1, &denyOnly, 0, NULL, 0, NULL, &hRestricted))
            hRestricted = NULL;
        ::FreeSid(pAdmins);
    }
    ::CloseHandle(hToken);
    return hRestricted;
}

namespace {

// Runs the child with the token, or as this process runs when it is NULL.
int RunChildAs(const char* pszName, HANDLE hToken, RecordedBoxes* pBoxes)
{
    char szSelf[MAX_PATH], szTemp[MAX_PATH], szBoxes[MAX_PATH];
    ::GetModuleFileNameA(NULL, szSelf, MAX_PATH);
    ::GetTempPathA(MAX_PATH, szTemp);
    if (!::GetTempFileNameA(szTemp, "box", 0, szBoxes)) {
        Warn(Said() << "child " << pszName << ": no file for its boxes, error " << ::GetLastError());
        return -1;
    }
    std::string commandLine = std::string("\"") + szSelf + "\" --child " + pszName + " \"" + szBoxes + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    int nExitCode = -1;
    BOOL bStarted = hToken != NULL ? ::CreateProcessAsUserA(hToken, NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL,
                                                            NULL, &startup, &process)
                                   : ::CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL,
                                                      &startup, &process);
    if (bStarted) {
        DWORD dwExitCode = 0;
        if (::WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0 &&
            ::GetExitCodeProcess(process.hProcess, &dwExitCode))
            nExitCode = (int)dwExitCode;
        else {
            Warn(Said() << "child " << pszName << ": did not end within 30 s");
            ::TerminateProcess(process.hProcess, 1);
        }
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    } else {
        Warn(Said() << "child " << pszName << ": not started, error " << ::GetLastError());
    }
    RecordedBoxes unread;
    (pBoxes != NULL ? *pBoxes : unread).ReadHandedOver(szBoxes);
    ::DeleteFileA(szBoxes);
    return nExitCode;
}

} // namespace

int RunChildProcess(const char* pszName, RecordedBoxes* pBoxes)
{
    return RunChildAs(pszName, NULL, pBoxes);
}

int RunChildWithoutAdminRights(const char* pszName, RecordedBoxes* pBoxes)
{
    HANDLE hToken = TokenWithoutAdminRights();
    if (hToken == NULL)
        return -1;
    int nExitCode = RunChildAs(pszName, hToken, pBoxes);
    ::CloseHandle(hToken);
    return nExitCode;
}

} // namespace harness
