// The product's resources, read back from the built PE32 setup.exe (loaded as data, whichever
// build runs the tests) in each of its three languages.
#include <doctest.h>
#include "res/resource.h"
#include "tests/harness/Process.h"
#include <windows.h>
#include <commctrl.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

const WORD kLanguages[] = { 0x409, 0x401, 0x40d };

struct ExpectedString {
    UINT nID;
    const char* pszText;
};

const ExpectedString kStrings[] = {
    { 2001, "Cannot copy files to this drive." },
    { 2002, "ZUV Izov Printer Software Wizard" },
    { 2003, "No directory selected or created." },
    { 2004, "The name you specified contains illegal characters ! \\ \\ / : * ? < > | , or is too long. "
            "Maximum length is 220 characters." },
    { 2005, "Cannot copy files or folders to the %s folder." },
    { 2006, "\r\n\r\nDestination directory:\r\n\t" },
    { 2007, "Check the information about the files to be copied." },
    { 2008, "Check the information about the printer driver to make sure that it is correct." },
    { 2009, "Please provide a printer name.\r\nCannot install a printer with a blank name." },
    { 2010, "A printer by that name or shared name is already installed.\nPlease choose a different name." },
    { 2011, "\r\n\r\nPrinter name:\r\n\t" },
    { 2012, "\r\n\r\nPort:\r\n\t" },
    { 2013, "ZUV Izov Language/Port Monitor" },
    { 2014, "Port name" },
    { 2015, "Related physical port" },
    { 2016, "monitorxp.inf" },
    { 2017, "monitor.inf" },
    { 2018, "Windows_NT" },
    { 2019, "OS" },
    { 2020, "FILE:" },
    { 2021, "*.*" },
    { 2022, "*.inf" },
    { 2023, "Printer" },
    { 2024, "Include" },
    { 2025, "CopyFiles" },
    { 2026, "DriverFile" },
    { 2027, "ConfigFile" },
    { 2028, "HelpFile" },
    { 2029, "Provider" },
    { 2030, "DataFile" },
    { 2031, "DataSection" },
    { 2032, "Version" },
    { 2033, "VEL" },
    { 2034, "Needs" },
    { 2036, "DefaultData" },
    { 2037, "PrintProcessor" },
    { 2038, "Unable to complete the install." },
    { 2039, "Application cannot run on this operating system" },
    { 2040, "To install a printer driver, the spooler service must be running. The spooler is currently "
            "stopped.\n\nDo you want to start this service?" },
    { 2041, "Unable to start the spooler service: " },
    { 2043, "Drive %s: is not ready." },
    { 2044, "Unable to open file: %s.\nInstallation aborted." },
    { 2045, "To install this printer driver, the newest version of the VEL VOV Language/Port Monitor must be "
            "installed.  During this installation, the spooler on this machine will be stopped and "
            "restarted.\n\nDo you want to proceed?" },
    { 2046, "Unable to stop spooler: " },
    { 2047, "Unable to restart spooler: " },
    { 2048, "Some services that are dependent on the spooler service might not have successfully restarted: " },
    { 2049, "readme.txt" },
    { 2050, "open" },
};

std::string ProductPath()
{
    return harness::PathFromEnvironment("WIZARD_PRODUCT_EXE");
}

HMODULE ProductModule()
{
    static HMODULE hProduct = ::LoadLibraryExA(ProductPath().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    return hProduct;
}

const void* FindLanguageResource(LPCSTR lpszType, LPCSTR lpszName, WORD wLanguage, DWORD* pcb = NULL)
{
    HMODULE hModule = ProductModule();
    REQUIRE_MESSAGE(hModule != NULL, "WIZARD_PRODUCT_EXE names the product's setup.exe");
    HRSRC hResource = ::FindResourceExA(hModule, lpszType, lpszName, wLanguage);
    if (hResource == NULL)
        return NULL;
    if (pcb != NULL)
        *pcb = ::SizeofResource(hModule, hResource);
    return ::LockResource(::LoadResource(hModule, hResource));
}

// A string-table entry in one language; "<missing>" when the entry does not exist.
std::string LoadLanguageString(UINT nID, WORD wLanguage)
{
    const WCHAR* p = static_cast<const WCHAR*>(
        FindLanguageResource(RT_STRING, MAKEINTRESOURCEA((nID >> 4) + 1), wLanguage));
    if (p == NULL)
        return "<missing>";
    for (UINT i = 0; i < (nID & 15); ++i)
        p += 1 + *p;
    if (*p == 0)
        return "<missing>";
    std::string text;
    for (WORD i = 1; i <= *p; ++i)
        text += static_cast<char>(p[i]);
    return text;
}

struct Control {
    std::string cls;
    int nID;
    std::string text;
    short x, y, cx, cy;
    DWORD dwStyle;
};

struct Dialog {
    DWORD dwStyle;
    DWORD dwExStyle;
    short cx, cy;
    std::string title;
    WORD wPointSize;
    std::string font;
    std::vector<Control> controls;
};

std::string ReadSzOrOrd(const WORD*& p)
{
    if (*p == 0xFFFF) {
        static const char* const kClasses[] = { "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox" };
        WORD wOrdinal = p[1];
        p += 2;
        if (wOrdinal >= 0x80 && wOrdinal <= 0x85)
            return kClasses[wOrdinal - 0x80];
        return "#" + std::to_string(wOrdinal);
    }
    std::string text;
    while (*p != 0)
        text += static_cast<char>(*p++);
    ++p;
    return text;
}

const WORD* AlignToDword(const WORD* p)
{
    return reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~static_cast<UINT_PTR>(3));
}

// An extended dialog template, as the dialog manager reads it.
bool ParseDialog(const void* pTemplate, Dialog& dialog)
{
    const BYTE* pb = static_cast<const BYTE*>(pTemplate);
    const WORD* p = reinterpret_cast<const WORD*>(pb);
    if (p[0] != 1 || p[1] != 0xFFFF)
        return false;
    dialog.dwExStyle = *reinterpret_cast<const DWORD*>(pb + 8);
    dialog.dwStyle = *reinterpret_cast<const DWORD*>(pb + 12);
    WORD cItems = *reinterpret_cast<const WORD*>(pb + 16);
    dialog.cx = *reinterpret_cast<const short*>(pb + 22);
    dialog.cy = *reinterpret_cast<const short*>(pb + 24);
    p = reinterpret_cast<const WORD*>(pb + 26);
    ReadSzOrOrd(p);  // menu
    ReadSzOrOrd(p);  // class
    dialog.title = ReadSzOrOrd(p);
    dialog.wPointSize = 0;
    if (dialog.dwStyle & DS_SETFONT) {
        dialog.wPointSize = *p;
        p += 3;  // point size, weight, italic and character set
        dialog.font = ReadSzOrOrd(p);
    }
    for (WORD i = 0; i < cItems; ++i) {
        p = AlignToDword(p);
        const BYTE* pItem = reinterpret_cast<const BYTE*>(p);
        Control control;
        control.dwStyle = *reinterpret_cast<const DWORD*>(pItem + 8);
        control.x = *reinterpret_cast<const short*>(pItem + 12);
        control.y = *reinterpret_cast<const short*>(pItem + 14);
        control.cx = *reinterpret_cast<const short*>(pItem + 16);
        control.cy = *reinterpret_cast<const short*>(pItem + 18);
        control.nID = (int)*reinterpret_cast<const LONG*>(pItem + 20);
        p = reinterpret_cast<const WORD*>(pItem + 24);
        control.cls = ReadSzOrOrd(p);
        control.text = ReadSzOrOrd(p);
        WORD cbExtra = *p++;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + cbExtra);
        dialog.controls.push_back(control);
    }
    return true;
}

const DWORD kChild = WS_CHILD | WS_VISIBLE;
const DWORD kLeftText = kChild | WS_GROUP | SS_LEFT;
const DWORD kRightText = kChild | WS_GROUP | SS_RIGHT;
const DWORD kPush = kChild | WS_TABSTOP | BS_PUSHBUTTON;
const DWORD kDefaultPush = kChild | WS_TABSTOP | BS_DEFPUSHBUTTON;
const DWORD kFrameStyle = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

const std::vector<Control> kWelcomeControls = {
    { "Static", IDC_STATIC, "This wizard helps you install ZUV Izov Printer Driver.", 13, 12, 210, 8, kLeftText },
    { "Static", IDC_STATIC, "Which task do you want to do?", 13, 44, 210, 8, kLeftText },
    { "Button", 1000, "&Install a new printer", 26, 68, 210, 12, kChild | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP },
    { "Button", 1001, "&Copy a printer driver to a directory", 26, 89, 210, 12, kChild | BS_AUTORADIOBUTTON },
    { "Button", 1015, "&View Readme file", 13, 132, 72, 14, kPush | WS_GROUP },
    { "Button", IDOK, "&Next >", 169, 153, 50, 14, kDefaultPush | WS_GROUP },
    { "Button", IDCANCEL, "Cancel", 233, 153, 50, 14, kPush },
};

const std::vector<Control> kPrinterControls = {
    { "Static", IDC_STATIC, "Enter a printer name and select a port for the printer driver.", 13, 12, 210, 8, kLeftText },
    { "Static", IDC_STATIC, "&Printer name:", 4, 34, 61, 8, kRightText },
    { "Edit", 1006, "", 68, 32, 143, 12, kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL },
    { "Static", IDC_STATIC, "P&orts:", 13, 46, 61, 8, kLeftText },
    { "SysListView32", 1005, "", 4, 56, 279, 74,
      kChild | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SORTASCENDING | LVS_NOSORTHEADER | WS_BORDER |
          WS_TABSTOP },
    { "Button", 1014, "New &VOV Port...", 213, 133, 70, 14, kPush | WS_GROUP },
    { "Button", 1008, "< &Back", 118, 153, 50, 14, kPush },
    { "Button", IDOK, "&Next >", 169, 153, 50, 14, kDefaultPush },
    { "Button", IDCANCEL, "Cancel", 233, 153, 50, 14, kPush },
};

const std::vector<Control> kDestinationControls = {
    { "Static", IDC_STATIC, "Which drive and directory do you want to copy the files to?", 13, 12, 210, 8, kLeftText },
    { "Static", IDC_STATIC, "&Drive:", 4, 34, 61, 8, kRightText },
    { "ComboBox", 1004, "", 68, 31, 143, 100, kChild | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP },
    { "SysTreeView32", 1005, "", 4, 48, 279, 81,
      kChild | TVS_HASBUTTONS | TVS_HASLINES | TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS | WS_TABSTOP },
    { "Static", IDC_STATIC, "D&irectory:", 4, 135, 61, 8, kRightText },
    { "Edit", 1006, "", 68, 133, 143, 12, kChild | WS_BORDER | ES_AUTOHSCROLL | WS_GROUP | WS_TABSTOP },
    { "Button", 1007, "&Create", 233, 133, 50, 14, kPush | WS_GROUP },
    { "Button", 1008, "< &Back", 118, 153, 50, 14, kPush },
    { "Button", IDOK, "&Next >", 169, 153, 50, 14, kDefaultPush },
    { "Button", IDCANCEL, "Cancel", 233, 153, 50, 14, kPush },
};

const std::vector<Control> kSummaryControls = {
    { "Static", 1011, "", 13, 12, 210, 16, kLeftText },
    { "Button", IDC_STATIC, "Summary", 4, 44, 279, 101, kChild | BS_GROUPBOX },
    { "Edit", 1006, "", 13, 57, 260, 80,
      kChild | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_WANTRETURN | WS_TABSTOP },
    { "Button", 1008, "< &Back", 118, 153, 50, 14, kPush },
    { "Button", IDOK, "&Finish", 169, 153, 50, 14, kDefaultPush },
    { "Button", IDCANCEL, "Cancel", 233, 153, 50, 14, kPush },
};

void CheckPage(UINT nID, DWORD dwStyle, DWORD dwExStyle, const std::vector<Control>& expected)
{
    for (WORD wLanguage : kLanguages) {
        CAPTURE(nID);
        CAPTURE(wLanguage);
        const void* pTemplate = FindLanguageResource(RT_DIALOG, MAKEINTRESOURCEA(nID), wLanguage);
        REQUIRE(pTemplate != NULL);
        Dialog dialog;
        REQUIRE(ParseDialog(pTemplate, dialog));

        DWORD dwLayout = wLanguage == 0x409 ? 0 : WS_EX_LAYOUTRTL;
        CHECK(dialog.dwStyle == dwStyle);
        CHECK(dialog.dwExStyle == (dwExStyle | dwLayout));
        CHECK(dialog.cx == 288);
        CHECK(dialog.cy == 172);
        CHECK(dialog.title == "ZUV Izov Printer Driver Wizard");
        CHECK(dialog.wPointSize == 8);
        CHECK(dialog.font == "MS Sans Serif");

        REQUIRE(dialog.controls.size() == expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const Control& want = expected[i];
            const Control& got = dialog.controls[i];
            CAPTURE(i);
            CHECK(lstrcmpiA(got.cls.c_str(), want.cls.c_str()) == 0);
            CHECK((short)got.nID == (short)want.nID);
            CHECK(got.text == want.text);
            CHECK(got.x == want.x);
            CHECK(got.y == want.y);
            CHECK(got.cx == want.cx);
            CHECK(got.cy == want.cy);
            CHECK(got.dwStyle == want.dwStyle);
        }
    }
}

struct BitmapResource {
    const BITMAPINFOHEADER* pHeader;
    const RGBQUAD* pColors;
    const BYTE* pBits;
};

BitmapResource FindBitmap(UINT nID, WORD wLanguage)
{
    BitmapResource bitmap = { NULL, NULL, NULL };
    bitmap.pHeader = static_cast<const BITMAPINFOHEADER*>(
        FindLanguageResource(RT_BITMAP, MAKEINTRESOURCEA(nID), wLanguage));
    if (bitmap.pHeader != NULL) {
        const BYTE* p = reinterpret_cast<const BYTE*>(bitmap.pHeader) + bitmap.pHeader->biSize;
        bitmap.pColors = reinterpret_cast<const RGBQUAD*>(p);
        DWORD nColors = bitmap.pHeader->biBitCount <= 8
                            ? (bitmap.pHeader->biClrUsed ? bitmap.pHeader->biClrUsed : 1u << bitmap.pHeader->biBitCount)
                            : 0;
        bitmap.pBits = p + nColors * sizeof(RGBQUAD);
    }
    return bitmap;
}

COLORREF PixelOf(const BitmapResource& bitmap, int x, int y)
{
    const BITMAPINFOHEADER& h = *bitmap.pHeader;
    int nStride = ((h.biWidth * h.biBitCount + 31) / 32) * 4;
    const BYTE* pRow = bitmap.pBits + (h.biHeight - 1 - y) * nStride;
    if (h.biBitCount == 24)
        return RGB(pRow[x * 3 + 2], pRow[x * 3 + 1], pRow[x * 3]);
    BYTE index = (x % 2 == 0) ? pRow[x / 2] >> 4 : pRow[x / 2] & 0x0F;
    const RGBQUAD& q = bitmap.pColors[index];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

const COLORREF kKey = RGB(255, 0, 255);
const COLORREF kMark = RGB(0, 102, 163);

} // namespace

TEST_CASE("the string table holds every text word for word in all three languages")
{
    for (WORD wLanguage : kLanguages) {
        CAPTURE(wLanguage);
        for (const ExpectedString& expected : kStrings) {
            CAPTURE(expected.nID);
            CHECK(LoadLanguageString(expected.nID, wLanguage) == expected.pszText);
        }
        CHECK(LoadLanguageString(2035, wLanguage) == "<missing>");
        CHECK(LoadLanguageString(2042, wLanguage) == "<missing>");
    }
}

TEST_CASE("the page templates, control by control, in English and mirrored for Arabic and Hebrew")
{
    CheckPage(IDD_WELCOME, kFrameStyle | WS_MINIMIZEBOX, 0, kWelcomeControls);
    CheckPage(IDD_PRINTER, kFrameStyle, WS_EX_APPWINDOW, kPrinterControls);
    CheckPage(IDD_DESTINATION, kFrameStyle | WS_MINIMIZEBOX, 0, kDestinationControls);
    CheckPage(IDD_SUMMARY, kFrameStyle | WS_MINIMIZEBOX, 0, kSummaryControls);
}

TEST_CASE("the header mark: 82 x 30, 24 bits, the mark's colour on the key colour")
{
    for (WORD wLanguage : kLanguages) {
        CAPTURE(wLanguage);
        BitmapResource bitmap = FindBitmap(IDB_HEADER, wLanguage);
        REQUIRE(bitmap.pHeader != NULL);
        CHECK(bitmap.pHeader->biWidth == 82);
        CHECK(bitmap.pHeader->biHeight == 30);
        CHECK(bitmap.pHeader->biBitCount == 24);
        int nMark = 0;
        int nOther = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 82; ++x) {
                COLORREF color = PixelOf(bitmap, x, y);
                nMark += color == kMark;
                nOther += color != kMark && color != kKey;
            }
        }
        CHECK(nMark > 100);
        CHECK(nOther == 0);
        CHECK(PixelOf(bitmap, 0, 0) == kKey);
        CHECK(PixelOf(bitmap, 81, 29) == kKey);
    }
}

TEST_CASE("the folder images: four 16 x 16 images in 4 bits on the key colour")
{
    for (WORD wLanguage : kLanguages) {
        CAPTURE(wLanguage);
        BitmapResource bitmap = FindBitmap(IDB_FOLDERS, wLanguage);
        REQUIRE(bitmap.pHeader != NULL);
        CHECK(bitmap.pHeader->biWidth == 64);
        CHECK(bitmap.pHeader->biHeight == 16);
        CHECK(bitmap.pHeader->biBitCount == 4);
        std::vector<std::vector<COLORREF>> images(4);
        for (int i = 0; i < 4; ++i) {
            CHECK(PixelOf(bitmap, i * 16, 0) == kKey);
            CHECK(PixelOf(bitmap, i * 16 + 15, 15) == kKey);
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x)
                    images[i].push_back(PixelOf(bitmap, i * 16 + x, y));
            }
        }
        CHECK(images[0] != images[1]);  // closed, and closed grey
        CHECK(images[2] != images[3]);  // open, and open grey
        CHECK(images[0] != images[2]);
    }
}

#pragma pack(push, 2)
struct IconDirectoryEntry {
    BYTE bWidth, bHeight, bColorCount, bReserved;
    WORD wPlanes, wBitCount;
    DWORD dwBytesInRes;
    WORD nID;
};
struct IconDirectory {
    WORD idReserved, idType, idCount;
    IconDirectoryEntry entries[1];
};
#pragma pack(pop)

TEST_CASE("the icon: 32 x 32 and 16 x 16, 16 colours each")
{
    for (WORD wLanguage : kLanguages) {
        CAPTURE(wLanguage);
        const IconDirectory* pDirectory = static_cast<const IconDirectory*>(
            FindLanguageResource(RT_GROUP_ICON, MAKEINTRESOURCEA(IDR_MAINFRAME), wLanguage));
        REQUIRE(pDirectory != NULL);
        REQUIRE(pDirectory->idCount == 2);
        CHECK(pDirectory->entries[0].bWidth == 32);
        CHECK(pDirectory->entries[1].bWidth == 16);
        for (int i = 0; i < 2; ++i) {
            CHECK(pDirectory->entries[i].bColorCount == 16);
            CHECK(pDirectory->entries[i].wBitCount == 4);
        }
    }
    CHECK(::LoadIconA(ProductModule(), MAKEINTRESOURCEA(IDR_MAINFRAME)) != NULL);
}

TEST_CASE("the manifest asks for the version 6 common controls, and the version resource names the program")
{
    DWORD cb = 0;
    const char* pManifest = static_cast<const char*>(
        FindLanguageResource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), 0x409, &cb));
    REQUIRE(pManifest != NULL);
    std::string manifest(pManifest, cb);
    CHECK(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"") != std::string::npos);

    std::string path = ProductPath();
    DWORD dwHandle = 0;
    DWORD cbInfo = ::GetFileVersionInfoSizeA(path.c_str(), &dwHandle);
    REQUIRE(cbInfo > 0);
    std::vector<char> info(cbInfo);
    REQUIRE(::GetFileVersionInfoA(path.c_str(), 0, cbInfo, info.data()));
    char* pszValue = NULL;
    UINT cchValue = 0;
    REQUIRE(::VerQueryValueA(info.data(), "\\StringFileInfo\\040904b0\\ProductName", (void**)&pszValue, &cchValue));
    CHECK(std::string(pszValue) == "ZUV Izov Printer Software Wizard");
}
