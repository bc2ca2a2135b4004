// The product, the PE32 setup.exe of the i686 build, must load on Windows 2000 and XP: a 32-bit
// GUI program whose import table names only system libraries of that era and no function they
// lack. Read from the file, never run, whichever build runs the tests.
#include <doctest.h>
#include "tests/harness/Process.h"
#include <algorithm>
#include <ctype.h>
#include <fstream>
#include <iterator>
#include <string.h>
#include <set>
#include <string>
#include <vector>

namespace {

// Libraries every Windows 2000 system has.
const char* const kSystemLibraries[] = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "comctl32.dll",
    "msvcrt.dll", "winspool.drv", "setupapi.dll", "version.dll", "ole32.dll",
};

// Functions added after Windows 2000: Windows XP and Server 2003, Vista and later, and the
// runtime library's later additions.
const char* const kNewerFunctions[] = {
    // Windows XP and Server 2003
    "GetModuleHandleExA", "GetModuleHandleExW", "AddVectoredExceptionHandler", "RemoveVectoredExceptionHandler",
    "GetNativeSystemInfo", "IsWow64Process", "AttachConsole", "GetSystemTimes", "HeapSetInformation",
    "HeapQueryInformation", "InitializeSListHead", "InterlockedPushEntrySList", "InterlockedPopEntrySList",
    "InterlockedFlushSList", "QueryDepthSList", "RtlCaptureContext", "EncodePointer", "DecodePointer",
    "SetDllDirectoryA", "SetDllDirectoryW", "GetDllDirectoryA", "GetDllDirectoryW", "GetProcessId", "GetThreadId",
    "CheckRemoteDebuggerPresent", "DebugActiveProcessStop", "TzSpecificLocalTimeToSystemTime",
    "WTSGetActiveConsoleSessionId", "GetProcessHandleCount", "SetThreadStackGuarantee",
    "GetLogicalProcessorInformation", "FlsAlloc", "FlsFree", "FlsGetValue", "FlsSetValue",
    // Windows Vista and later
    "GetTickCount64", "InitializeSRWLock", "AcquireSRWLockExclusive", "AcquireSRWLockShared",
    "ReleaseSRWLockExclusive", "ReleaseSRWLockShared", "TryAcquireSRWLockExclusive", "TryAcquireSRWLockShared",
    "InitializeConditionVariable", "SleepConditionVariableCS", "SleepConditionVariableSRW", "WakeConditionVariable",
    "WakeAllConditionVariable", "InitOnceInitialize", "InitOnceExecuteOnce", "InitOnceBeginInitialize",
    "InitOnceComplete", "GetLocaleInfoEx", "LCMapStringEx", "CompareStringEx", "GetUserDefaultLocaleName",
    "GetSystemDefaultLocaleName", "LocaleNameToLCID", "LCIDToLocaleName", "GetDateFormatEx", "GetTimeFormatEx",
    "GetNumberFormatEx", "GetCurrencyFormatEx", "EnumSystemLocalesEx", "IsValidLocaleName", "ResolveLocaleName",
    "GetStringTypeEx", "CreateSymbolicLinkA", "CreateSymbolicLinkW", "GetFinalPathNameByHandleA",
    "GetFinalPathNameByHandleW", "InitializeCriticalSectionEx", "GetErrorMode", "CancelIoEx", "CreateEventExA",
    "CreateEventExW", "CreateMutexExA", "CreateMutexExW", "CreateSemaphoreExA", "CreateSemaphoreExW",
    "GetFileInformationByHandleEx", "SetFileInformationByHandle", "QueryFullProcessImageNameA",
    "QueryFullProcessImageNameW", "GetCurrentProcessorNumber", "RegGetValueA", "RegGetValueW", "RegDeleteTreeA",
    "RegDeleteTreeW", "SHGetKnownFolderPath", "TaskDialog", "TaskDialogIndirect", "GetSystemTimePreciseAsFileTime",
    // The C runtime's later additions
    "_findfirst32", "_findnext32", "_findfirst64i32", "_findnext64i32", "_stat32", "_stat64i32", "_fstat64i32",
    "_time64", "_localtime64", "_gmtime64", "_mktime64", "_ctime64", "_ftime64", "_vscprintf", "_scprintf",
    "_get_errno", "_set_errno", "_aligned_malloc", "_aligned_free", "_strtoi64", "_strtoui64", "strtoll",
};

struct Import {
    std::string library;
    std::string function;
};

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return (char)tolower((unsigned char)c); });
    return text;
}

struct Image {
    std::vector<char> bytes;
    const IMAGE_NT_HEADERS32* pHeaders = NULL;

    bool Load(const std::string& path)
    {
        std::ifstream file(path.c_str(), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        if (bytes.size() < sizeof(IMAGE_DOS_HEADER))
            return false;
        const IMAGE_DOS_HEADER* pDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
        if (pDos->e_magic != IMAGE_DOS_SIGNATURE || (size_t)pDos->e_lfanew + sizeof(IMAGE_NT_HEADERS32) > bytes.size())
            return false;
        pHeaders = reinterpret_cast<const IMAGE_NT_HEADERS32*>(bytes.data() + pDos->e_lfanew);
        return pHeaders->Signature == IMAGE_NT_SIGNATURE;
    }

    // The bytes at a relative virtual address, or NULL outside the file's sections.
    const char* At(DWORD rva) const
    {
        const IMAGE_SECTION_HEADER* pSection = IMAGE_FIRST_SECTION(pHeaders);
        for (WORD i = 0; i < pHeaders->FileHeader.NumberOfSections; ++i, ++pSection) {
            DWORD size = std::max(pSection->Misc.VirtualSize, pSection->SizeOfRawData);
            if (rva >= pSection->VirtualAddress && rva < pSection->VirtualAddress + size) {
                size_t offset = rva - pSection->VirtualAddress + pSection->PointerToRawData;
                return offset < bytes.size() ? bytes.data() + offset : NULL;
            }
        }
        return NULL;
    }

    // The functions named by a table of thunks.
    std::vector<Import> ThunkNames(const std::string& library, DWORD thunkRva) const
    {
        std::vector<Import> imports;
        const IMAGE_THUNK_DATA32* pThunk = reinterpret_cast<const IMAGE_THUNK_DATA32*>(At(thunkRva));
        for (; pThunk != NULL && pThunk->u1.AddressOfData != 0; ++pThunk) {
            Import import;
            import.library = library;
            if (pThunk->u1.Ordinal & IMAGE_ORDINAL_FLAG32) {
                import.function = "#" + std::to_string(IMAGE_ORDINAL32(pThunk->u1.Ordinal));
            } else {
                const IMAGE_IMPORT_BY_NAME* pName =
                    reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(At(pThunk->u1.AddressOfData));
                import.function = pName ? reinterpret_cast<const char*>(pName->Name) : "?";
            }
            imports.push_back(import);
        }
        return imports;
    }

    std::vector<Import> Imports() const
    {
        std::vector<Import> imports;
        const IMAGE_DATA_DIRECTORY& directory = pHeaders->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        const IMAGE_IMPORT_DESCRIPTOR* pDescriptor =
            reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(At(directory.VirtualAddress));
        for (; pDescriptor != NULL && pDescriptor->Name != 0; ++pDescriptor) {
            const char* pszLibrary = At(pDescriptor->Name);
            DWORD thunkRva = pDescriptor->OriginalFirstThunk ? pDescriptor->OriginalFirstThunk : pDescriptor->FirstThunk;
            std::vector<Import> names = ThunkNames(pszLibrary ? Lower(pszLibrary) : "?", thunkRva);
            imports.insert(imports.end(), names.begin(), names.end());
        }
        return imports;
    }

    // The functions of a library loaded at the first call of one of them. The linker leaves the
    // header's entry for delayed imports empty, so their descriptor is looked for where it lies,
    // among the sections' data: RVA-based, naming the library, with a table of names.
    std::vector<Import> DelayedImports(const std::string& library) const
    {
        const IMAGE_SECTION_HEADER* pSection = IMAGE_FIRST_SECTION(pHeaders);
        for (WORD i = 0; i < pHeaders->FileHeader.NumberOfSections; ++i, ++pSection) {
            size_t end = std::min<size_t>(bytes.size(), (size_t)pSection->PointerToRawData + pSection->SizeOfRawData);
            for (size_t offset = pSection->PointerToRawData; offset + sizeof(IMAGE_DELAYLOAD_DESCRIPTOR) <= end;
                 offset += 4) {
                IMAGE_DELAYLOAD_DESCRIPTOR descriptor;
                memcpy(&descriptor, bytes.data() + offset, sizeof(descriptor));
                if (descriptor.Attributes.AllAttributes != 1 || descriptor.ImportNameTableRVA == 0)
                    continue;
                const char* pszName = At(descriptor.DllNameRVA);
                if (pszName != NULL && memchr(pszName, 0, bytes.data() + bytes.size() - pszName) != NULL &&
                    Lower(pszName) == library)
                    return ThunkNames(library, descriptor.ImportNameTableRVA);
            }
        }
        return std::vector<Import>();
    }
};

WORD MachineOf(const std::string& path)
{
    Image image;
    return image.Load(path) ? image.pHeaders->FileHeader.Machine : 0;
}

} // namespace

TEST_CASE("setup.exe is a 32-bit GUI program that Windows 2000 and XP can load")
{
    std::string path = harness::PathFromEnvironment("WIZARD_PRODUCT_EXE");
    REQUIRE_MESSAGE(!path.empty(), "WIZARD_PRODUCT_EXE names the product's setup.exe");
    Image image;
    REQUIRE(image.Load(path));

    const IMAGE_NT_HEADERS32& headers = *image.pHeaders;
    CHECK(headers.FileHeader.Machine == IMAGE_FILE_MACHINE_I386);
    CHECK(headers.OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    CHECK(headers.OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI);
    CHECK(headers.OptionalHeader.MajorSubsystemVersion * 100 + headers.OptionalHeader.MinorSubsystemVersion <= 500);
    CHECK(headers.OptionalHeader.MajorOperatingSystemVersion * 100 +
              headers.OptionalHeader.MinorOperatingSystemVersion <= 500);

    std::vector<Import> imports = image.Imports();
    REQUIRE(imports.size() > 20);
    // The spooler and shell libraries are loaded at their first call, not with the program: a
    // function missing from the build's list for its library would bring the library back into
    // the import table.
    const struct {
        const char* pszLibrary;
        const char* pszFunction;
    } kDelayed[] = { { "winspool.drv", "AddMonitorA" }, { "shell32.dll", "SHFileOperationA" } };
    std::vector<Import> allDelayed;
    for (const auto& library : kDelayed) {
        CAPTURE(library.pszLibrary);
        CHECK(std::none_of(imports.begin(), imports.end(),
                           [&](const Import& import) { return import.library == library.pszLibrary; }));
        std::vector<Import> delayed = image.DelayedImports(library.pszLibrary);
        CHECK(std::any_of(delayed.begin(), delayed.end(),
                          [&](const Import& import) { return import.function == library.pszFunction; }));
        allDelayed.insert(allDelayed.end(), delayed.begin(), delayed.end());
    }
    imports.insert(imports.end(), allDelayed.begin(), allDelayed.end());

    std::set<std::string> systemLibraries(std::begin(kSystemLibraries), std::end(kSystemLibraries));
    std::set<std::string> newerFunctions(std::begin(kNewerFunctions), std::end(kNewerFunctions));
    bool bSawGetVersion = false;
    for (const Import& import : imports) {
        CAPTURE(import.library);
        CAPTURE(import.function);
        CHECK(systemLibraries.count(import.library) == 1);
        CHECK(newerFunctions.count(import.function) == 0);
        // The secure variants of the C runtime came with later systems.
        CHECK_FALSE((import.library == "msvcrt.dll" && import.function.size() > 2 &&
                     import.function.compare(import.function.size() - 2, 2, "_s") == 0));
        bSawGetVersion = bSawGetVersion || import.function == "GetVersionExA";
    }
    CHECK(bSawGetVersion);
}

TEST_CASE("every program and library of a package is built for the machine that runs it")
{
    // The product's package holds i386 files only. The package the tests run holds files of
    // this test program's own machine: the spooler loads the monitor into its own process.
#ifdef _WIN64
    const WORD wTestMachine = IMAGE_FILE_MACHINE_AMD64;
#else
    const WORD wTestMachine = IMAGE_FILE_MACHINE_I386;
#endif
    std::string product = harness::PathFromEnvironment("WIZARD_PRODUCT_EXE");
    REQUIRE(product.size() > 10);
    struct Package {
        std::string directory;
        WORD wMachine;
    };
    const Package packages[] = {
        { product.substr(0, product.size() - 10), IMAGE_FILE_MACHINE_I386 },
        { harness::PathFromEnvironment("WIZARD_PACKAGE_DIR"), wTestMachine },
    };
    if (packages[0].directory == packages[1].directory)
        MESSAGE("the tests run the product's own package");
    for (const Package& package : packages) {
        CAPTURE(package.directory);
        for (std::string file : { "setup.exe", "pxmonitor\\ZADAZARE.DLL", "IZOVDRV.DLL", "IZOVUI.DLL", "IZOVPP.DLL",
                                  "DEROvurEZA.DLL" }) {
            CAPTURE(file);
            CHECK(MachineOf(package.directory + "\\" + file) == package.wMachine);
        }
    }
}
