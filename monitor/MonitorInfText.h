// The fixed text rules that read the port monitor's INF: the monitor's name and key, its DLL
// and its files. They work on the text alone (no window, no file, no system call), so that
// they can be built and fuzzed anywhere.
#pragma once
#include "base/Text.h"
#include <stddef.h>

const size_t MONITOR_FIELD_SIZE = 260;      // a name, with its NUL
const size_t MONITOR_FILE_LIST_SIZE = 6500; // names with their NULs, then an empty name

struct MonitorInfFields {
    char szMonitorName[MONITOR_FIELD_SIZE];
    char szMonitorKey[MONITOR_FIELD_SIZE];
    char szDllName[MONITOR_FIELD_SIZE];
    char fileList[MONITOR_FILE_LIST_SIZE];
};

// Reads the fields from a NUL-terminated INF text with CR LF line ends. bXpRules selects the
// rules of Windows XP (version 5.1): the "[PortMonitors]" section, the files of
// "[SourceDisksFiles]" and the fixed DLL name; otherwise the "[Options]" section, the files of
// the section named after the monitor's key, and the DLL named in the section after it.
// What the text does not hold stays empty; nothing is written past a field. The text is read by
// characters of the code page whose lead bytes isLead tells.
void ReadMonitorInfText(const char* pszText, bool bXpRules, MonitorInfFields* pFields,
                        LeadByteTest isLead = IsSystemLeadByte);
