// Stand-in for the vendor's print processor. It knows only RAW and hands each job's bytes to the
// printer unchanged, one copy, in order.
//
// The spooler's print processor interface is wide-only, but winsplp.h spells one parameter of
// GetPrintProcessorCapabilities with TCHAR.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>
#include <stdio.h>
#include <wchar.h>

namespace {

const wchar_t kRaw[] = L"RAW";
const DWORD kChunkBytes = 4096;

// What the spooler hands back to us as hPrintProcessor.
struct Processor {
    HANDLE printer;
    HANDLE running;  // reset while the job is paused
    volatile LONG cancelled;
    DWORD jobId;
    wchar_t* printerName;
    wchar_t* outputFile;
};

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

wchar_t* Duplicate(const wchar_t* text)
{
    if (!text) return NULL;
    DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    wchar_t* copy = static_cast<wchar_t*>(Allocate(bytes));
    if (copy) memcpy(copy, text, bytes);
    return copy;
}

// The printer's default data type is RAW, so a job without one is RAW too.
bool IsRaw(const wchar_t* datatype)
{
    return !datatype || lstrcmpiW(datatype, kRaw) == 0;
}

void Destroy(Processor* processor)
{
    if (processor->printer) ClosePrinter(processor->printer);
    if (processor->running) CloseHandle(processor->running);
    Free(processor->printerName);
    Free(processor->outputFile);
    Free(processor);
}

bool WriteAll(HANDLE printer, BYTE* data, DWORD size)
{
    while (size > 0) {
        DWORD written = 0;
        if (!WritePrinter(printer, data, size, &written) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// The job's spooled data is read through the printer name with the job appended.
BOOL CopyJob(Processor* processor, HANDLE job)
{
    BYTE* buffer = static_cast<BYTE*>(Allocate(kChunkBytes));
    if (!buffer) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    BOOL ok = TRUE;
    for (;;) {
        WaitForSingleObject(processor->running, INFINITE);
        if (processor->cancelled) break;
        DWORD read = 0;
        if (!ReadPrinter(job, buffer, kChunkBytes, &read)) {
            ok = FALSE;
            break;
        }
        if (read == 0) break;
        if (!WriteAll(processor->printer, buffer, read)) {
            ok = FALSE;
            break;
        }
    }
    DWORD error = GetLastError();
    Free(buffer);
    SetLastError(error);
    return ok;
}

}  // namespace

extern "C" {

BOOL WINAPI EnumPrintProcessorDatatypesW(LPWSTR pName, LPWSTR pPrintProcessorName, DWORD Level,
                                         LPBYTE pDatatypes, DWORD cbBuf, LPDWORD pcbNeeded,
                                         LPDWORD pcReturned)
{
    (void)pName;
    (void)pPrintProcessorName;
    if (!pcbNeeded || !pcReturned) return Fail(ERROR_INVALID_PARAMETER);
    *pcReturned = 0;
    *pcbNeeded = 0;
    if (Level != 1) return Fail(ERROR_INVALID_LEVEL);

    const DWORD needed = sizeof(DATATYPES_INFO_1W) + sizeof(kRaw);
    *pcbNeeded = needed;
    if (!pDatatypes || cbBuf < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);

    DATATYPES_INFO_1W* info = reinterpret_cast<DATATYPES_INFO_1W*>(pDatatypes);
    wchar_t* name = reinterpret_cast<wchar_t*>(pDatatypes + sizeof(DATATYPES_INFO_1W));
    memcpy(name, kRaw, sizeof(kRaw));
    info->pName = name;
    *pcReturned = 1;
    return TRUE;
}

HANDLE WINAPI OpenPrintProcessor(LPWSTR pPrinterName,
                                 PPRINTPROCESSOROPENDATA pPrintProcessorOpenData)
{
    if (!pPrintProcessorOpenData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    if (!IsRaw(pPrintProcessorOpenData->pDatatype)) {
        SetLastError(ERROR_INVALID_DATATYPE);
        return NULL;
    }
    const wchar_t* printerName = pPrintProcessorOpenData->pPrinterName
                                     ? pPrintProcessorOpenData->pPrinterName : pPrinterName;
    if (!printerName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }

    Processor* processor = static_cast<Processor*>(Allocate(sizeof(Processor)));
    if (!processor) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    processor->jobId = pPrintProcessorOpenData->JobId;
    processor->printerName = Duplicate(printerName);
    processor->outputFile = Duplicate(pPrintProcessorOpenData->pOutputFile);
    processor->running = CreateEventW(NULL, TRUE, TRUE, NULL);
    bool ready = processor->printerName && processor->running &&
                 (processor->outputFile || !pPrintProcessorOpenData->pOutputFile) &&
                 OpenPrinterW(processor->printerName, &processor->printer, NULL);
    if (!ready) {
        DWORD error = GetLastError();
        Destroy(processor);
        SetLastError(error ? error : ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    return processor;
}

BOOL WINAPI PrintDocumentOnPrintProcessor(HANDLE hPrintProcessor, LPWSTR pDocumentName)
{
    Processor* processor = static_cast<Processor*>(hPrintProcessor);
    if (!processor) return Fail(ERROR_INVALID_HANDLE);

    DWORD jobNameChars = static_cast<DWORD>(wcslen(processor->printerName)) + 32;
    wchar_t* jobName = static_cast<wchar_t*>(Allocate(jobNameChars * sizeof(wchar_t)));
    if (!jobName) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    _snwprintf(jobName, jobNameChars - 1, L"%ls, Job %lu", processor->printerName,
               processor->jobId);

    HANDLE job = NULL;
    BOOL ok = OpenPrinterW(jobName, &job, NULL);
    DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    Free(jobName);
    if (!ok) return Fail(error);

    DOC_INFO_1W doc;
    doc.pDocName = pDocumentName;
    doc.pOutputFile = processor->outputFile;
    doc.pDatatype = const_cast<wchar_t*>(kRaw);
    ok = StartDocPrinterW(processor->printer, 1, reinterpret_cast<LPBYTE>(&doc)) != 0;
    if (ok) {
        ok = CopyJob(processor, job);
        error = ok ? ERROR_SUCCESS : GetLastError();
        if (!EndDocPrinter(processor->printer) && ok) {
            ok = FALSE;
            error = GetLastError();
        }
    } else {
        error = GetLastError();
    }
    ClosePrinter(job);
    if (!ok) return Fail(error);
    return TRUE;
}

BOOL WINAPI ControlPrintProcessor(HANDLE hPrintProcessor, DWORD Command)
{
    Processor* processor = static_cast<Processor*>(hPrintProcessor);
    if (!processor) return Fail(ERROR_INVALID_HANDLE);
    switch (Command) {
    case JOB_CONTROL_PAUSE:
        return ResetEvent(processor->running);
    case JOB_CONTROL_RESUME:
        return SetEvent(processor->running);
    case JOB_CONTROL_CANCEL:
        InterlockedExchange(const_cast<LONG*>(&processor->cancelled), 1);
        return SetEvent(processor->running);
    default:
        return Fail(ERROR_INVALID_PARAMETER);
    }
}

BOOL WINAPI ClosePrintProcessor(HANDLE hPrintProcessor)
{
    Processor* processor = static_cast<Processor*>(hPrintProcessor);
    if (!processor) return Fail(ERROR_INVALID_HANDLE);
    Destroy(processor);
    return TRUE;
}

DWORD WINAPI GetPrintProcessorCapabilities(LPTSTR pValueName, DWORD dwAttributes, LPBYTE pData,
                                           DWORD nSize, LPDWORD pcbNeeded)
{
    (void)dwAttributes;
    if (!pValueName || !pcbNeeded) return ERROR_INVALID_PARAMETER;
    if (!IsRaw(pValueName)) return ERROR_INVALID_DATATYPE;
    *pcbNeeded = sizeof(PRINTPROCESSOR_CAPS_1);
    if (!pData || nSize < sizeof(PRINTPROCESSOR_CAPS_1)) return ERROR_MORE_DATA;

    PRINTPROCESSOR_CAPS_1* caps = reinterpret_cast<PRINTPROCESSOR_CAPS_1*>(pData);
    caps->dwLevel = 1;
    caps->dwNupOptions = 1;
    caps->dwPageOrderFlags = NORMAL_PRINT;
    caps->dwNumberOfCopies = 1;
    return ERROR_SUCCESS;
}

}  // extern "C"
