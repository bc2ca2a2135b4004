// Stand-in for the vendor's printer interface DLL. It shows no property sheets of its own: it
// only answers what the spooler and applications ask about the driver's DEVMODE and paper list,
// which is enough for printers to be created and for print dialogs to list the printer.
#include <windows.h>
#include <winspool.h>
#include <winddiui.h>
#include <stddef.h>
#include <string.h>
#include <wchar.h>

namespace {

// The DDK's layout; mingw's winddiui.h does not carry it.
struct DocumentPropertyHeader {
    WORD cbSize;
    WORD Reserved;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
    PDEVMODEW pdmIn;
    PDEVMODEW pdmOut;
    DWORD cbOut;
    DWORD fMode;
};

const WORD kDriverVersion = 0x0104;
const DWORD kPrivateSignature = 0x564F5A49;  // "IZOV" in memory order
const short kResolution = 600;
const short kMaxCopies = 999;

// The driver's own settings after the public DEVMODEW; an application copying the DEVMODE
// without its dmDriverExtra bytes loses them, which is why the signature is checked on input.
struct PrivateSettings {
    DWORD signature;
    DWORD tonerSave;
};

struct DriverDevMode {
    DEVMODEW dm;
    PrivateSettings priv;
};

struct Paper {
    short id;
    const wchar_t* name;
    LONG width;   // tenths of a millimetre
    LONG height;
};

const Paper kPapers[] = {
    {DMPAPER_A4, L"A4", 2100, 2970},
    {DMPAPER_LETTER, L"Letter", 2159, 2794},
    {DMPAPER_A5, L"A5", 1480, 2100},
    {DMPAPER_LEGAL, L"Legal", 2159, 3556},
};
const DWORD kPaperCount = sizeof(kPapers) / sizeof(kPapers[0]);
const DWORD kPaperNameChars = 64;

bool KnownPaper(short id)
{
    for (DWORD i = 0; i < kPaperCount; ++i)
        if (kPapers[i].id == id) return true;
    return false;
}

bool Covers(const DEVMODEW* dm, size_t fieldEnd)
{
    return dm->dmSize >= fieldEnd;
}

#define FIELD_END(field) (offsetof(DEVMODEW, field) + sizeof(((DEVMODEW*)0)->field))

void FillDefaults(DriverDevMode* out, const wchar_t* printerName)
{
    memset(out, 0, sizeof(*out));
    if (printerName) {
        wcsncpy(out->dm.dmDeviceName, printerName, CCHDEVICENAME - 1);
        out->dm.dmDeviceName[CCHDEVICENAME - 1] = L'\0';
    }
    out->dm.dmSpecVersion = DM_SPECVERSION;
    out->dm.dmDriverVersion = kDriverVersion;
    out->dm.dmSize = sizeof(DEVMODEW);
    out->dm.dmDriverExtra = sizeof(PrivateSettings);
    out->dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_PRINTQUALITY |
                       DM_YRESOLUTION;
    out->dm.dmOrientation = DMORIENT_PORTRAIT;
    out->dm.dmPaperSize = DMPAPER_A4;
    out->dm.dmCopies = 1;
    out->dm.dmPrintQuality = kResolution;
    out->dm.dmYResolution = kResolution;
    out->priv.signature = kPrivateSignature;
}

// Takes over only the settings this printer can honour; anything else keeps its default.
void MergeInput(DriverDevMode* out, const DEVMODEW* in)
{
    if (!in || in->dmSize < FIELD_END(dmFields)) return;

    if ((in->dmFields & DM_ORIENTATION) && Covers(in, FIELD_END(dmOrientation)) &&
        (in->dmOrientation == DMORIENT_PORTRAIT || in->dmOrientation == DMORIENT_LANDSCAPE))
        out->dm.dmOrientation = in->dmOrientation;
    if ((in->dmFields & DM_PAPERSIZE) && Covers(in, FIELD_END(dmPaperSize)) &&
        KnownPaper(in->dmPaperSize))
        out->dm.dmPaperSize = in->dmPaperSize;
    if ((in->dmFields & DM_COPIES) && Covers(in, FIELD_END(dmCopies)) &&
        in->dmCopies >= 1 && in->dmCopies <= kMaxCopies)
        out->dm.dmCopies = in->dmCopies;

    if (in->dmDriverExtra == sizeof(PrivateSettings)) {
        PrivateSettings priv;
        memcpy(&priv, reinterpret_cast<const BYTE*>(in) + in->dmSize, sizeof(priv));
        if (priv.signature == kPrivateSignature)
            out->priv.tonerSave = priv.tonerSave ? 1 : 0;
    }
}

// Callers size pdmOut from our own size answer. cbOut is not trusted: some spoolers hand over a
// zeroed buffer and derive cbOut from its (zero) dmSize.
LONG AnswerWithoutUi(DocumentPropertyHeader* header)
{
    if (!header || header->cbSize < sizeof(DocumentPropertyHeader)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (header->fMode == 0 || !header->pdmOut) {
        header->cbOut = sizeof(DriverDevMode);
        return sizeof(DriverDevMode);
    }
    if (header->fMode & DM_OUT_BUFFER) {
        DriverDevMode result;
        FillDefaults(&result, header->pszPrinterName);
        if (header->fMode & DM_IN_BUFFER) MergeInput(&result, header->pdmIn);
        memcpy(header->pdmOut, &result, sizeof(result));
    }
    return IDOK;
}

LONG CopyPaperData(WORD capability, void* output)
{
    if (output) {
        for (DWORD i = 0; i < kPaperCount; ++i) {
            const Paper& paper = kPapers[i];
            switch (capability) {
            case DC_PAPERS:
                static_cast<WORD*>(output)[i] = paper.id;
                break;
            case DC_PAPERSIZE:
                static_cast<POINT*>(output)[i].x = paper.width;
                static_cast<POINT*>(output)[i].y = paper.height;
                break;
            case DC_PAPERNAMES: {
                wchar_t* name = static_cast<wchar_t*>(output) + i * kPaperNameChars;
                memset(name, 0, kPaperNameChars * sizeof(wchar_t));
                wcsncpy(name, paper.name, kPaperNameChars - 1);
                break;
            }
            }
        }
    }
    return kPaperCount;
}

}  // namespace

extern "C" {

LONG WINAPI DrvDocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam)
{
    if (!pPSUIInfo) return AnswerWithoutUi(reinterpret_cast<DocumentPropertyHeader*>(lParam));

    // No pages are added; a caller that asked for an output DEVMODE still gets one.
    if (pPSUIInfo->Reason == PROPSHEETUI_REASON_INIT) {
        DocumentPropertyHeader* header =
            reinterpret_cast<DocumentPropertyHeader*>(pPSUIInfo->lParamInit);
        if (header && header->pdmOut && (header->fMode & DM_OUT_BUFFER))
            AnswerWithoutUi(header);
        pPSUIInfo->Result = CPSUI_OK;
    }
    return CPSUI_OK;
}

LONG WINAPI DrvDevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam)
{
    (void)lParam;
    if (pPSUIInfo && pPSUIInfo->Reason == PROPSHEETUI_REASON_INIT)
        pPSUIInfo->Result = CPSUI_OK;
    return CPSUI_OK;
}

DWORD WINAPI DrvDeviceCapabilities(HANDLE hPrinter, PWSTR pDeviceName, WORD iDevCap,
                                   void* pvOutput, PDEVMODEW pDevMode)
{
    (void)hPrinter;
    (void)pDeviceName;
    (void)pDevMode;
    switch (iDevCap) {
    case DC_FIELDS:
        return DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_PRINTQUALITY | DM_YRESOLUTION;
    case DC_PAPERS:
    case DC_PAPERSIZE:
    case DC_PAPERNAMES:
        return CopyPaperData(iDevCap, pvOutput);
    case DC_SIZE:
        return sizeof(DEVMODEW);
    case DC_EXTRA:
        return sizeof(PrivateSettings);
    case DC_VERSION:
        return DM_SPECVERSION;
    case DC_DRIVER:
        return kDriverVersion;
    case DC_COPIES:
        return kMaxCopies;
    case DC_ORIENTATION:
        return 90;
    case DC_ENUMRESOLUTIONS:
        if (pvOutput) {
            static_cast<LONG*>(pvOutput)[0] = kResolution;
            static_cast<LONG*>(pvOutput)[1] = kResolution;
        }
        return 1;
    case DC_BINS:
    case DC_BINNAMES:
    case DC_DUPLEX:
    case DC_COLLATE:
    case DC_COLORDEVICE:
        return 0;
    default:
        return GDI_ERROR;
    }
}

BOOL WINAPI DrvPrinterEvent(LPWSTR pPrinterName, INT DriverEvent, DWORD Flags, LPARAM lParam)
{
    (void)pPrinterName;
    (void)DriverEvent;
    (void)Flags;
    (void)lParam;
    return TRUE;
}

}  // extern "C"
