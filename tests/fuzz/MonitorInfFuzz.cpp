// Fuzz target for the monitor INF's text rules: any text, read by both rules, must leave every
// field terminated within its bounds and the file list well formed.
#include "monitor/MonitorInfText.h"
#include <stdint.h>
#include <string.h>
#include <vector>

namespace {

// The reader hands the rules at most this much of the file, ended by a NUL.
const size_t kTextLimit = 26000 - 1;

void Check(bool bHolds)
{
    if (!bHolds)
        __builtin_trap();
}

// No lead bytes, as in a single-byte code page; those of code page 932.
bool NoLeadBytes(unsigned char)
{
    return false;
}

bool Cp932LeadByte(unsigned char ch)
{
    return (ch >= 0x81 && ch <= 0x9F) || (ch >= 0xE0 && ch <= 0xFC);
}

bool IsTerminated(const char* pszField)
{
    return memchr(pszField, '\0', MONITOR_FIELD_SIZE) != NULL;
}

// Names, each with its NUL, then an empty name, all within the list; no empty names inside.
bool IsWellFormedList(const char* pList)
{
    size_t n = 0;
    while (n < MONITOR_FILE_LIST_SIZE && pList[n] != '\0') {
        const void* pEnd = memchr(pList + n, '\0', MONITOR_FILE_LIST_SIZE - n);
        if (pEnd == NULL)
            return false;
        n = static_cast<const char*>(pEnd) - pList + 1;
    }
    return n < MONITOR_FILE_LIST_SIZE;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData)
{
    std::vector<char> text(pData, pData + (cbData < kTextLimit ? cbData : kTextLimit));
    text.push_back('\0');
    for (int nRun = 0; nRun < 4; ++nRun) {
        bool bXpRules = (nRun & 1) != 0;
        MonitorInfFields fields;
        ReadMonitorInfText(text.data(), bXpRules, &fields, nRun < 2 ? NoLeadBytes : Cp932LeadByte);
        Check(IsTerminated(fields.szMonitorName));
        Check(IsTerminated(fields.szMonitorKey));
        Check(IsTerminated(fields.szDllName));
        Check(IsWellFormedList(fields.fileList));
        Check(!bXpRules || strcmp(fields.szDllName, "ZADAZARE.DLL") == 0);
    }
    return 0;
}
