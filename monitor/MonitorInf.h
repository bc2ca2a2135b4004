// MonitorInf: the port monitor's INF, read as plain text from the current directory (the
// monitor directory): the monitor's name, its DLL and the files to copy.
#pragma once
#include <windows.h>

class MonitorInf {
public:
    // Reads the INF at once; a file that cannot be opened is reported to the user and leaves
    // every field empty, the file list included.
    explicit MonitorInf(LPCSTR pszInfFile);
    ~MonitorInf();

    void ReadMonitorInf();

    char* m_pszFileList;     // NAME_LIST_SIZE bytes: names with their NULs, then an empty name
    char* m_pszInfFile;      // NAME_BUFFER_SIZE bytes each
    char* m_pszDllName;
    char* m_pszMonitorName;  // the name the monitor is, or is to be, installed under
    char* m_pszMonitorKey;

private:
    MonitorInf(const MonitorInf&) = delete;
    MonitorInf& operator=(const MonitorInf&) = delete;
};

// TRUE on Windows XP (version 5.1), whose monitor INF is read by its own rules.
BOOL UsesXpMonitorRules();
