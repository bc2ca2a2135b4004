// Stand-in for the printer vendor's language/port monitor. Its ports live in the registry
// under the monitor's key; whatever is printed to them is accepted and thrown away.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>
#include <wchar.h>
#include "AddPortDialog.h"

namespace {

const wchar_t kMonitorName[] = L"ZUV Izov Language/Port Monitor";
const wchar_t kPortDescription[] = L"ZUV Izov Port";
const DWORD kUsbPortType = 0;
const DWORD kMaxPortNumber = 999;

HINSTANCE g_module;

// What the spooler hands back to us as hMonitor.
struct MonitorState {
    HKEY ports;
};

// What the spooler hands back to us as hPort.
struct PortState {
    HANDLE printer;
    DWORD jobId;
};

typedef wchar_t KeyName[256];

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

void* Allocate(DWORD bytes)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

void Free(void* block)
{
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

DWORD StringBytes(const wchar_t* s)
{
    return static_cast<DWORD>((wcslen(s) + 1) * sizeof(wchar_t));
}

bool ReadOwnFileVersion(wchar_t* text, UINT cch)
{
    wchar_t path[MAX_PATH];
    DWORD ignored = 0;
    DWORD size = GetModuleFileNameW(g_module, path, MAX_PATH)
                     ? GetFileVersionInfoSizeW(path, &ignored) : 0;
    void* info = size ? Allocate(size) : NULL;
    wchar_t* value = NULL;
    UINT len = 0;
    bool found = info && GetFileVersionInfoW(path, 0, size, info) &&
                 VerQueryValueW(info, L"\\StringFileInfo\\040904b0\\FileVersion",
                                reinterpret_cast<void**>(&value), &len) &&
                 len > 0 && len < cch;
    if (found) {
        wcsncpy(text, value, len);
        text[len] = L'\0';
    }
    Free(info);
    return found;
}

// The setup program compares this value to decide on upgrades, so only the first load writes it.
void RecordVersion(HKEY monitorKey)
{
    wchar_t version[64];
    if (RegQueryValueExW(monitorKey, L"Version", NULL, NULL, NULL, NULL) != ERROR_FILE_NOT_FOUND ||
        !ReadOwnFileVersion(version, 64))
        return;
    RegSetValueExW(monitorKey, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                   StringBytes(version));
}

// Takes a snapshot, so that sizing and filling the caller's buffer see the same ports.
DWORD ReadPortNames(HKEY ports, KeyName** names, DWORD* count)
{
    *names = NULL;
    *count = 0;
    DWORD subkeys = 0;
    LONG rc = RegQueryInfoKeyW(ports, NULL, NULL, NULL, &subkeys, NULL, NULL, NULL, NULL, NULL,
                               NULL, NULL);
    if (rc != ERROR_SUCCESS || subkeys == 0) return rc;
    *names = static_cast<KeyName*>(Allocate(subkeys * sizeof(KeyName)));
    if (!*names) return ERROR_NOT_ENOUGH_MEMORY;
    for (DWORD i = 0; i < subkeys; ++i) {
        DWORD cch = 256;
        rc = RegEnumKeyExW(ports, i, (*names)[*count], &cch, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc == ERROR_SUCCESS) ++*count;
    }
    return ERROR_SUCCESS;
}

wchar_t* PlaceString(BYTE*& strings, const wchar_t* s)
{
    wchar_t* placed = reinterpret_cast<wchar_t*>(strings);
    DWORD bytes = StringBytes(s);
    memcpy(strings, s, bytes);
    strings += bytes;
    return placed;
}

BOOL WINAPI EnumPorts(HANDLE hMonitor, LPWSTR, DWORD level, LPBYTE pPorts, DWORD cbBuf,
                      LPDWORD pcbNeeded, LPDWORD pcReturned)
{
    MonitorState* state = static_cast<MonitorState*>(hMonitor);
    if (!state || !pcbNeeded || !pcReturned) return Fail(ERROR_INVALID_PARAMETER);
    *pcbNeeded = 0;
    *pcReturned = 0;
    if (level != 1 && level != 2) return Fail(ERROR_INVALID_LEVEL);

    KeyName* names;
    DWORD count;
    DWORD rc = ReadPortNames(state->ports, &names, &count);
    if (rc != ERROR_SUCCESS) return Fail(rc);

    DWORD record = level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
    DWORD fixedStrings = level == 1 ? 0 : StringBytes(kMonitorName) + StringBytes(kPortDescription);
    for (DWORD i = 0; i < count; ++i)
        *pcbNeeded += record + StringBytes(names[i]) + fixedStrings;
    // The spooler retries with a buffer only when it sees exactly this error.
    if (*pcbNeeded > 0 && (!pPorts || cbBuf < *pcbNeeded)) {
        Free(names);
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }

    BYTE* strings = pPorts + count * record;
    for (DWORD i = 0; i < count; ++i) {
        if (level == 1) {
            reinterpret_cast<PORT_INFO_1W*>(pPorts)[i].pName = PlaceString(strings, names[i]);
            continue;
        }
        PORT_INFO_2W* info = reinterpret_cast<PORT_INFO_2W*>(pPorts) + i;
        info->pPortName = PlaceString(strings, names[i]);
        info->pMonitorName = PlaceString(strings, kMonitorName);
        info->pDescription = PlaceString(strings, kPortDescription);
        info->fPortType = PORT_TYPE_WRITE | PORT_TYPE_READ;
        info->Reserved = 0;
    }
    *pcReturned = count;
    Free(names);
    return TRUE;
}

const DWORD kComPorts = 4;
const DWORD kMaxPortName = 63;

// What the add-port dialog works on.
struct AddPortRequest {
    MonitorState* state;
    wchar_t name[kMaxPortName + 1];
};

bool PortExists(HKEY ports, const wchar_t* name)
{
    HKEY port;
    if (RegOpenKeyExW(ports, name, 0, KEY_READ, &port) != ERROR_SUCCESS) return false;
    RegCloseKey(port);
    return true;
}

// The first "IZOV<n>:" that no port has; false when all are taken.
bool ProposePortName(HKEY ports, wchar_t* name)
{
    for (DWORD n = 1; n <= kMaxPortNumber; ++n) {
        _snwprintf(name, kMaxPortName, L"IZOV%lu:", n);
        if (!PortExists(ports, name)) return true;
    }
    return false;
}

// Creating the key is what claims the name, so two callers never get the same port.
LONG CreatePort(HKEY ports, const wchar_t* name, DWORD type)
{
    HKEY port;
    DWORD disposition = 0;
    LONG rc = RegCreateKeyExW(ports, name, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &port, &disposition);
    if (rc != ERROR_SUCCESS) return rc;
    if (disposition == REG_OPENED_EXISTING_KEY) {
        RegCloseKey(port);
        return ERROR_ALREADY_EXISTS;
    }
    rc = RegSetValueExW(port, L"TYPE", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&type), sizeof(DWORD));
    RegCloseKey(port);
    if (rc != ERROR_SUCCESS) RegDeleteKeyW(ports, name);
    return rc;
}

void ShowRefusal(HWND dialog, const wchar_t* text)
{
    wchar_t caption[64];
    GetWindowTextW(dialog, caption, 64);
    MessageBoxW(dialog, text, caption, MB_OK | MB_ICONERROR);
    SetFocus(GetDlgItem(dialog, IDC_PORT_NAME));
}

// OK makes the port: the name as given (no backslash, which the registry would take for a
// sub-key), and TYPE 0 for USB or the COM port's number.
bool AcceptPort(HWND dialog, AddPortRequest* request)
{
    wchar_t name[kMaxPortName + 2] = L"";
    GetDlgItemTextW(dialog, IDC_PORT_NAME, name, kMaxPortName + 2);
    if (!*name || wcslen(name) > kMaxPortName || wcschr(name, L'\\')) {
        ShowRefusal(dialog, L"Enter a port name of 1 to 63 characters, without a backslash.");
        return false;
    }
    LRESULT connection = SendDlgItemMessageW(dialog, IDC_CONNECTION, CB_GETCURSEL, 0, 0);
    DWORD type = connection > 0 ? static_cast<DWORD>(connection) : kUsbPortType;
    LONG rc = CreatePort(request->state->ports, name, type);
    if (rc == ERROR_ALREADY_EXISTS) {
        ShowRefusal(dialog, L"A port by that name exists already. Enter another name.");
        return false;
    }
    if (rc != ERROR_SUCCESS) {
        ShowRefusal(dialog, L"The port could not be created.");
        return false;
    }
    wcscpy(request->name, name);
    return true;
}

INT_PTR CALLBACK AddPortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    AddPortRequest* request = reinterpret_cast<AddPortRequest*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        request = reinterpret_cast<AddPortRequest*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetDlgItemTextW(dialog, IDC_PORT_NAME, request->name);
        SendDlgItemMessageW(dialog, IDC_PORT_NAME, EM_LIMITTEXT, kMaxPortName, 0);
        SendDlgItemMessageW(dialog, IDC_CONNECTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"USB"));
        for (DWORD n = 1; n <= kComPorts; ++n) {
            wchar_t com[16];
            _snwprintf(com, 16, L"COM %lu", n);
            SendDlgItemMessageW(dialog, IDC_CONNECTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(com));
        }
        SendDlgItemMessageW(dialog, IDC_CONNECTION, CB_SETCURSEL, 0, 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && request && AcceptPort(dialog, request))
            EndDialog(dialog, IDOK);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

// The user names the port and chooses its connection in the monitor's own dialog, owned by the
// window the spooler hands on.
BOOL WINAPI AddPort(HANDLE hMonitor, LPWSTR, HWND hWnd, LPWSTR)
{
    MonitorState* state = static_cast<MonitorState*>(hMonitor);
    if (!state) return Fail(ERROR_INVALID_PARAMETER);
    AddPortRequest request = { state, L"" };
    if (!ProposePortName(state->ports, request.name)) request.name[0] = L'\0';
    INT_PTR answer = DialogBoxParamW(g_module, MAKEINTRESOURCEW(IDD_ADD_PORT), hWnd, AddPortDialogProc,
                                     reinterpret_cast<LPARAM>(&request));
    if (answer == IDOK) return TRUE;
    return Fail(answer == IDCANCEL ? ERROR_CANCELLED : GetLastError());
}

BOOL WINAPI ConfigurePort(HANDLE, LPWSTR, HWND, LPWSTR)
{
    return TRUE;
}

BOOL WINAPI DeletePort(HANDLE hMonitor, LPWSTR, HWND, LPWSTR pPortName)
{
    MonitorState* state = static_cast<MonitorState*>(hMonitor);
    if (!state || !pPortName || !*pPortName) return Fail(ERROR_INVALID_PARAMETER);
    LONG rc = RegDeleteKeyW(state->ports, pPortName);
    if (rc == ERROR_FILE_NOT_FOUND) return Fail(ERROR_UNKNOWN_PORT);
    return rc == ERROR_SUCCESS ? TRUE : Fail(rc);
}

BOOL WINAPI OpenPort(HANDLE hMonitor, LPWSTR pName, PHANDLE pHandle)
{
    MonitorState* state = static_cast<MonitorState*>(hMonitor);
    if (!state || !pName || !pHandle) return Fail(ERROR_INVALID_PARAMETER);
    HKEY port;
    if (RegOpenKeyExW(state->ports, pName, 0, KEY_READ, &port) != ERROR_SUCCESS)
        return Fail(ERROR_UNKNOWN_PORT);
    RegCloseKey(port);
    *pHandle = Allocate(sizeof(PortState));
    return *pHandle ? TRUE : Fail(ERROR_NOT_ENOUGH_MEMORY);
}

BOOL WINAPI StartDocPort(HANDLE hPort, LPWSTR pPrinterName, DWORD JobId, DWORD, LPBYTE)
{
    PortState* port = static_cast<PortState*>(hPort);
    if (!port) return Fail(ERROR_INVALID_HANDLE);
    // Without a printer the job cannot be reported sent; its data is discarded all the same.
    port->jobId = JobId;
    if (!port->printer && pPrinterName && !OpenPrinterW(pPrinterName, &port->printer, NULL))
        port->printer = NULL;
    return TRUE;
}

BOOL WINAPI WritePort(HANDLE hPort, LPBYTE, DWORD cbBuf, LPDWORD pcbWritten)
{
    if (!hPort || !pcbWritten) return Fail(ERROR_INVALID_PARAMETER);
    *pcbWritten = cbBuf;
    return TRUE;
}

BOOL WINAPI ReadPort(HANDLE hPort, LPBYTE, DWORD, LPDWORD pcbRead)
{
    if (!hPort || !pcbRead) return Fail(ERROR_INVALID_PARAMETER);
    *pcbRead = 0;
    return TRUE;
}

// A job stays in the queue until its monitor reports it sent.
BOOL WINAPI EndDocPort(HANDLE hPort)
{
    PortState* port = static_cast<PortState*>(hPort);
    if (!port) return Fail(ERROR_INVALID_HANDLE);
    if (port->printer) {
        SetJobW(port->printer, port->jobId, 0, NULL, JOB_CONTROL_SENT_TO_PRINTER);
        ClosePrinter(port->printer);
        port->printer = NULL;
    }
    return TRUE;
}

BOOL WINAPI ClosePort(HANDLE hPort)
{
    PortState* port = static_cast<PortState*>(hPort);
    if (!port) return Fail(ERROR_INVALID_HANDLE);
    if (port->printer) ClosePrinter(port->printer);
    Free(port);
    return TRUE;
}

VOID WINAPI Shutdown(HANDLE hMonitor)
{
    MonitorState* state = static_cast<MonitorState*>(hMonitor);
    if (!state) return;
    RegCloseKey(state->ports);
    Free(state);
}

// Not offered: OpenPortEx, AddPortEx, GetPrinterDataFromPort, SetPortTimeOuts and the Xcv calls.
MONITOR2 g_monitor = {
    sizeof(MONITOR2), EnumPorts, OpenPort, NULL, StartDocPort, WritePort, ReadPort, EndDocPort,
    ClosePort, AddPort, NULL, ConfigurePort, DeletePort, NULL, NULL, NULL, NULL, NULL, Shutdown,
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

// The spooler closes hckRegistryRoot when this returns, so the ports key gets a handle of its own.
extern "C" LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT pMonitorInit, PHANDLE phMonitor)
{
    if (!pMonitorInit || !pMonitorInit->hckRegistryRoot || !phMonitor) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    HKEY monitorKey = reinterpret_cast<HKEY>(pMonitorInit->hckRegistryRoot);
    MonitorState* state = static_cast<MonitorState*>(Allocate(sizeof(MonitorState)));
    if (!state) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    LONG rc = RegCreateKeyExW(monitorKey, L"Ports", 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                              &state->ports, NULL);
    if (rc != ERROR_SUCCESS) {
        Free(state);
        SetLastError(rc);
        return NULL;
    }
    RecordVersion(monitorKey);
    *phMonitor = state;
    return &g_monitor;
}
