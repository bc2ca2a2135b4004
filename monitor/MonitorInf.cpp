#include "monitor/MonitorInf.h"
#include "base/Buffers.h"
#include "base/Messages.h"
#include "base/SystemVersion.h"
#include "framework/File.h"
#include "monitor/MonitorInfText.h"
#include "res/resource.h"
#include <string.h>

static_assert(MONITOR_FIELD_SIZE == NAME_BUFFER_SIZE, "monitor fields are name buffers");
static_assert(MONITOR_FILE_LIST_SIZE == NAME_LIST_SIZE, "the monitor's file list is a name list");

namespace {
// How much of the INF is read; sections beyond it are not seen.
const size_t TEXT_SIZE = 26000;
}

BOOL UsesXpMonitorRules()
{
    OSVERSIONINFOA osvi = SystemVersion();
    return osvi.dwMajorVersion == 5 && osvi.dwMinorVersion == 1;
}

MonitorInf::MonitorInf(LPCSTR pszInfFile)
    : m_pszFileList(AllocBuffer(NAME_LIST_SIZE)),
      m_pszInfFile(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszDllName(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszMonitorName(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszMonitorKey(AllocBuffer(NAME_BUFFER_SIZE))
{
    if (m_pszFileList && m_pszInfFile && m_pszDllName && m_pszMonitorName && m_pszMonitorKey &&
        CopyText(m_pszInfFile, NAME_BUFFER_SIZE, pszInfFile))
        ReadMonitorInf();
}

MonitorInf::~MonitorInf()
{
    FreeBuffer(m_pszFileList);
    FreeBuffer(m_pszInfFile);
    FreeBuffer(m_pszDllName);
    FreeBuffer(m_pszMonitorName);
    FreeBuffer(m_pszMonitorKey);
}

void MonitorInf::ReadMonitorInf()
{
    CFile file;
    if (!file.Open(m_pszInfFile, CFile::modeRead)) {
        ShowTableMessageWith(NULL, IDS_CANNOT_OPEN_FILE, m_pszInfFile, IDS_CAPTION, MB_OK | MB_ICONERROR);
        return;
    }
    char* pszText = AllocBuffer(TEXT_SIZE);
    MonitorInfFields* pFields = reinterpret_cast<MonitorInfFields*>(AllocBuffer(sizeof(MonitorInfFields)));
    try {
        if (pszText != NULL && pFields != NULL) {
            UINT cbRead = file.Read(pszText, (UINT)(TEXT_SIZE - 1));
            pszText[cbRead] = '\0';
            ReadMonitorInfText(pszText, UsesXpMonitorRules() != FALSE, pFields);
            memcpy(m_pszMonitorName, pFields->szMonitorName, NAME_BUFFER_SIZE);
            memcpy(m_pszMonitorKey, pFields->szMonitorKey, NAME_BUFFER_SIZE);
            memcpy(m_pszDllName, pFields->szDllName, NAME_BUFFER_SIZE);
            memcpy(m_pszFileList, pFields->fileList, NAME_LIST_SIZE);
        }
    } catch (const CFileException&) {
        // A file that cannot be read leaves the fields empty; the caller finds no files.
    }
    FreeBuffer(pszText);
    FreeBuffer(pFields);
}
