#include "monitor/Ports.h"
#include "base/Buffers.h"
#include "base/Messages.h"
#include "base/ProgramEnd.h"
#include "monitor/MonitorInf.h"
#include "monitor/MonitorInstall.h"
#include "monitor/SpoolerService.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include <direct.h>
#include <string.h>

namespace {

const char kMonitorsKey[] = "System\\CurrentControlSet\\Control\\Print\\Monitors\\";
const REGSAM kPortKeyRights = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// The monitor's dialog may browse for files; the drive and directory current before it are
// current again afterwards. A dialog the user cancelled needs no word; a port the spooler or the
// monitor could not add is told.
void AskMonitorForPort(CWnd* pOwner, LPSTR pszMonitorName)
{
    int nDrive = _getdrive();
    char* pszDirectory = AllocBuffer(NAME_BUFFER_SIZE);
    bool bHaveDirectory = pszDirectory != NULL && _getcwd(pszDirectory, (int)NAME_BUFFER_SIZE) != NULL;
    if (!ThePlatform().AddPortA(OwnerWindow(pOwner), pszMonitorName) && ::GetLastError() != ERROR_CANCELLED)
        ShowSystemError(OwnerWindow(pOwner), ::GetLastError());
    _chdrive(nDrive);
    if (bHaveDirectory)
        _chdir(pszDirectory);
    FreeBuffer(pszDirectory);
}

bool IsListed(const Enumeration& ports, LPCSTR pszName)
{
    const PORT_INFO_2A* pPorts = reinterpret_cast<const PORT_INFO_2A*>(ports.pBuffer);
    for (DWORD i = 0; i < ports.nCount; ++i) {
        if (pPorts[i].pPortName != NULL && strcmp(pPorts[i].pPortName, pszName) == 0)
            return true;
    }
    return false;
}

// The last port of the later list that the earlier one lacks, when the later one is longer.
void FindNewPort(const Enumeration& before, const Enumeration& after, char* pszNewPort)
{
    pszNewPort[0] = '\0';
    if (after.nCount <= before.nCount)
        return;
    const PORT_INFO_2A* pPorts = reinterpret_cast<const PORT_INFO_2A*>(after.pBuffer);
    for (DWORD i = 0; i < after.nCount; ++i) {
        LPCSTR pszName = pPorts[i].pPortName;
        if (pszName != NULL && !IsListed(before, pszName))
            CopyText(pszNewPort, NAME_BUFFER_SIZE, pszName);
    }
}

} // namespace

BOOL ListHoldsName(LPCSTR pszList, LPCSTR pszName)
{
    for (LPCSTR pszListed = pszList; *pszListed != '\0'; pszListed += strlen(pszListed) + 1) {
        if (strcmp(pszListed, pszName) == 0)
            return TRUE;
    }
    return FALSE;
}

BOOL IsKnownPort(LPCSTR pszName, LPCSTR pszList)
{
    return *pszList == '\0' || ListHoldsName(pszList, pszName);
}

CString GetPhysicalPort(LPCSTR pszPortName)
{
    CString text;
    char* pszMonitor = LoadTextBuffer(IDS_MONITOR_NAME);
    if (pszMonitor == NULL)
        return text;
    CString key = CString(kMonitorsKey) + pszMonitor + "\\Ports\\" + pszPortName;
    Platform& platform = ThePlatform();
    HKEY hPort = NULL;
    if (platform.RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, kPortKeyRights, &hPort) == ERROR_SUCCESS) {
        // The number is read from the start of the data, whatever its type, when there is one.
        DWORD cbData = 0;
        BYTE* pData = NULL;
        if (platform.RegQueryValueExA(hPort, "TYPE", NULL, &cbData) == ERROR_SUCCESS && cbData >= sizeof(DWORD) &&
            (pData = reinterpret_cast<BYTE*>(AllocBuffer(cbData))) != NULL &&
            platform.RegQueryValueExA(hPort, "TYPE", pData, &cbData) == ERROR_SUCCESS && cbData >= sizeof(DWORD)) {
            DWORD dwType = 0;
            memcpy(&dwType, pData, sizeof(dwType));
            if (dwType == 0)
                text = "USB";
            else
                text.Format("COM %ld", (long)dwType);
        }
        FreeBuffer(pData);
        platform.RegCloseKey(hPort);
    }
    FreeBuffer(pszMonitor);
    return text;
}

Enumeration EnumeratePorts()
{
    Platform& platform = ThePlatform();
    return Enumerate(
        [&](LPBYTE p, DWORD cb, LPDWORD pcbNeeded, LPDWORD pcReturned) {
            return platform.EnumPortsA(2, p, cb, pcbNeeded, pcReturned);
        },
        2);
}

BOOL AddMonitorPort(CWnd* pOwner, char* pszNewPort)
{
    pszNewPort[0] = '\0';
    if (!EnsureSpoolerRunningForMonitor(pOwner))
        EndProgram(0);

    Enumeration before = EnumeratePorts();
    BOOL bEntered = RunInMonitorDirectory(pOwner, [&](MonitorInf& inf) {
        // An INF that could not be read was reported by its reader; there is nothing to install.
        if (inf.m_pszFileList == NULL || inf.m_pszFileList[0] == '\0')
            return;
        BOOL bReady = FindInstalledMonitor(inf) ? UpgradeMonitor(pOwner, inf.m_pszFileList)
                                                : InstallMonitor(pOwner, inf);
        if (bReady)
            AskMonitorForPort(pOwner, inf.m_pszMonitorName);
        Enumeration after = EnumeratePorts();
        FindNewPort(before, after, pszNewPort);
        FreeBuffer(after.pBuffer);
    });
    FreeBuffer(before.pBuffer);
    return bEntered;
}
