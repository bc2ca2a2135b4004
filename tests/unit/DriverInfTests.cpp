// The driver package reader against the system's INF parser, with INF files made for each
// case. The reader opens INFs in the program's own directory, where the build puts them.
#include <doctest.h>
#include "base/Buffers.h"
#include "inf/DriverInf.h"
#include "tests/harness/Files.h"
#include "tests/harness/Injection.h"
#include <algorithm>
#include <string.h>
#include <string>
#include <vector>

using harness::NamesOfList;
using harness::ProgramDirectory;
using harness::SystemInfDirectory;
using harness::WriteTextFile;

namespace {

typedef std::vector<std::string> Names;

LONG LengthOf(const Names& names)
{
    LONG cb = 0;
    for (const std::string& name : names)
        cb += (LONG)name.size() + 1;
    return cb;
}

std::string Take(char* pszValue)
{
    std::string value = pszValue != NULL ? pszValue : "<no buffer>";
    FreeBuffer(pszValue);
    return value;
}

// An INF that the system's INF directory holds while the object lives.
struct SystemInf {
    std::string path;
    SystemInf(const char* pszName, const std::string& text) : path(SystemInfDirectory() + "\\" + pszName)
    {
        REQUIRE(WriteTextFile(path, text));
    }
    ~SystemInf() { ::DeleteFileA(path.c_str()); }
};

const char kTestBase[] = "testbase.inf";

} // namespace

TEST_CASE("a model that the models section does not list reads as empty files and an empty list")
{
    DriverInf inf("lists.inf", "Nobody");
    REQUIRE(inf.HasModelsSection());
    inf.ReadDriverInfo();
    CHECK(std::string(inf.m_pszProvider) == "List Vendor");
    for (const char* pszField : { inf.m_pszDataFile, inf.m_pszDriverFile, inf.m_pszConfigFile, inf.m_pszHelpFile,
                                  inf.m_pszPrintProcessor, inf.m_pszDefaultDataType })
        CHECK(std::string(pszField).empty());
    CHECK(inf.m_cbDependentFiles == 0);
    CHECK(inf.m_pszDependentFiles[0] == '\0');
}

TEST_CASE("CopyFiles with two file-list sections and single files gives their lines, then the names")
{
    DriverInf inf("lists.inf", "Two Lists");
    inf.ReadDriverInfo();
    Names expected = { "ONE1.DLL", "ONE2.DLL,ONE2.ALT,ONE2.THIRD", "TWO1.DLL", "SINGLE.DLL", "NO.SUCH.SECTION" };
    CHECK(NamesOfList(inf.m_pszDependentFiles) == expected);
    CHECK(inf.m_cbDependentFiles == LengthOf(expected));
    CHECK(std::string(inf.m_pszDataFile) == "TWO.GPD");
    CHECK(std::string(inf.m_pszDriverFile) == "TWODRV.DLL");
    CHECK(std::string(inf.m_pszConfigFile) == "TWOUI.DLL");
    CHECK(std::string(inf.m_pszHelpFile) == "TWO.HLP");
}

TEST_CASE("the lookups: a section's first line without a key, a missing field, a field too long")
{
    DriverInf inf("lists.inf", "");
    CHECK(Take(inf.GetFieldValue(1, "LIST.ONE", NULL)) == "ONE1.DLL");
    CHECK(Take(inf.GetFieldValue(3, "LIST.ONE", NULL)) == "");
    CHECK(Take(inf.GetFieldValue(1, "Version", "Provider")) == "List Vendor");
    CHECK(Take(inf.GetModelValue("Two Lists", "DriverFile", "DataSection")) == "TWODRV.DLL");
    CHECK(Take(inf.GetModelValue("Two Lists", "DataSection", NULL)) == "TWO.DATA");
    CHECK(Take(inf.GetModelValue("Long Field", "DriverFile", "DataSection")) == "");

    // More than 259 characters: the long field and the long line add nothing.
    char* pszList = inf.GetFileList("Long Field", "CopyFiles");
    CHECK(NamesOfList(pszList) == Names{ "SHORT.DLL", "AFTER.DLL" });
    CHECK(inf.m_cbDependentFiles == LengthOf(Names{ "SHORT.DLL", "AFTER.DLL" }));
    FreeBuffer(pszList);

    pszList = inf.GetSectionLines("NO.SUCH.SECTION");
    CHECK(pszList[0] == '\0');
    CHECK(inf.m_cbDependentFiles == 0);
    FreeBuffer(pszList);
}

TEST_CASE("a data file given as the first CopyFiles field loses its '@', and only a leading '@' goes")
{
    DriverInf inf("lists.inf", "Single First");
    inf.ReadDriverInfo();
    CHECK(std::string(inf.m_pszDataFile) == "SINGLE.GPD");
    CHECK(NamesOfList(inf.m_pszDependentFiles) ==
          Names{ "SINGLE.GPD", "ONE1.DLL", "ONE2.DLL,ONE2.ALT,ONE2.THIRD", "NAME@MIDDLE.DLL" });

    DriverInf empties("lists.inf", "Empty Fields");
    empties.ReadDriverInfo();
    CHECK(NamesOfList(empties.m_pszDependentFiles) == Names{ "FIRST.DLL", "LAST.DLL" });
    CHECK(empties.m_cbDependentFiles == LengthOf(Names{ "FIRST.DLL", "LAST.DLL" }));
}

TEST_CASE("without Include, no print processor, data type or needed files, even with their keys")
{
    DriverInf inf("noinclude.inf", "Without Include");
    inf.ReadDriverInfo();
    CHECK_FALSE(inf.m_bIncluded);
    CHECK(std::string(inf.m_pszPrintProcessor).empty());
    CHECK(std::string(inf.m_pszPrintProcessorFile).empty());
    CHECK(std::string(inf.m_pszDefaultDataType).empty());
    CHECK(NamesOfList(inf.m_pszDependentFiles) == Names{ "WITHOUTDRV.DLL" });
    CHECK(std::string(inf.m_pszDriverFile) == "WITHOUTDRV.DLL");
}

TEST_CASE("with Include, the included INF comes from the system's INF directory and the first Needs adds its files")
{
    std::string base;
    REQUIRE(harness::ReadTextFile(ProgramDirectory() + "\\" + kTestBase, base));
    SystemInf installed(kTestBase, base);

    DriverInf inf("include.inf", "With Include");
    inf.ReadDriverInfo();
    CHECK(inf.m_bIncluded);
    CHECK(std::string(inf.m_pszPrintProcessor) == "WithProc");
    CHECK(std::string(inf.m_pszPrintProcessorFile) == "WITHPP.DLL");
    CHECK(std::string(inf.m_pszDefaultDataType) == "NT EMF 1.008");
    Names expected = { "WITHDRV.DLL", "BASE1.DLL", "BASE2.DLL" };
    CHECK(NamesOfList(inf.m_pszDependentFiles) == expected);
    CHECK(inf.m_cbDependentFiles == LengthOf(expected));
}

TEST_CASE("an Include INF the system does not have still switches on the print processor")
{
    DriverInf inf("include.inf", "With Include");
    inf.ReadDriverInfo();
    CHECK(inf.m_bIncluded);
    CHECK(std::string(inf.m_pszPrintProcessor) == "WithProc");
    CHECK(NamesOfList(inf.m_pszDependentFiles) == Names{ "WITHDRV.DLL" });
}

TEST_CASE("an empty model name reads the provider and the models section only")
{
    DriverInf inf("include.inf", "");
    CHECK_FALSE(inf.m_bIncluded);
    CHECK(inf.HasModelsSection());
    inf.ReadDriverInfo();
    CHECK(std::string(inf.m_pszProvider) == "Include Vendor");
    CHECK(std::string(inf.m_pszDriverFile).empty());
    CHECK(inf.m_cbDependentFiles == 0);
}

TEST_CASE("only a printer INF of the program's own directory opens")
{
    DriverInf network("network.inf", "ZUV Izov");
    CHECK_FALSE(network.HasModelsSection());
    network.ReadDriverInfo();
    CHECK(std::string(network.m_pszProvider).empty());
    CHECK(network.m_cbDependentFiles == 0);

    CHECK_FALSE(DriverInf("nomodels.inf", "").HasModelsSection());
    CHECK(DriverInf("byguid.inf", "").HasModelsSection());
    CHECK_FALSE(DriverInf("", "").HasModelsSection());
    CHECK_FALSE(DriverInf(std::string(300, 'x').c_str(), "").HasModelsSection());

    // The current directory holds an INF of that name, the program's directory does not.
    char szBefore[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, szBefore);
    harness::TempDirectory elsewhere("inf-elsewhere");
    std::string sample;
    REQUIRE(harness::ReadTextFile(ProgramDirectory() + "\\izov.inf", sample));
    REQUIRE(WriteTextFile(elsewhere.path + "\\elsewhere.inf", sample));
    ::SetCurrentDirectoryA(elsewhere.path.c_str());
    CHECK_FALSE(DriverInf("elsewhere.inf", "").HasModelsSection());
    CHECK(DriverInf("izov.inf", "").HasModelsSection());
    ::SetCurrentDirectoryA(szBefore);
}

TEST_CASE("the sample package's INF describes the ZUV Izov driver, stored in UTF-16 or with bare LF line ends too")
{
    std::string sample;
    REQUIRE(harness::ReadTextFile(ProgramDirectory() + "\\izov.inf", sample));
    std::string lf = harness::WithoutCarriageReturns(sample);
    std::string utf16 = "\xFF\xFE";
    for (char c : sample) {
        utf16 += c;
        utf16 += '\0';
    }
    harness::ProgramFile lfFile("izov-lf.inf", lf);
    harness::ProgramFile utf16File("izov-utf16.inf", utf16);

    for (const char* pszInf : { "izov.inf", "izov-lf.inf", "izov-utf16.inf" }) {
        CAPTURE(pszInf);
        DriverInf inf(pszInf, "ZUV Izov");
        inf.ReadDriverInfo();
        CHECK(std::string(inf.m_pszProvider) == "ZUV");
        CHECK(std::string(inf.m_pszDataFile) == "IZOV.GPD");
        CHECK(std::string(inf.m_pszDriverFile) == "IZOVDRV.DLL");
        CHECK(std::string(inf.m_pszConfigFile) == "IZOVUI.DLL");
        CHECK(std::string(inf.m_pszHelpFile) == "IZOV.HLP");
        CHECK(std::string(inf.m_pszPrintProcessor) == "IzovPrint");
        CHECK(std::string(inf.m_pszPrintProcessorFile) == "IZOVPP.DLL");
        CHECK(std::string(inf.m_pszDefaultDataType) == "RAW");
        CHECK(NamesOfList(inf.m_pszDependentFiles) == Names{ "IZOV.GPD", "IZOVDRV.DLL", "IZOVUI.DLL", "IZOV.HLP" });
        CHECK(Take(inf.GetFieldValue(1, "Version", "CatalogFile")) == "izov.cat");
    }
}

TEST_CASE("a list that would pass 26000 bytes is cut after its last whole name")
{
    // 2500 names of 12 characters: 32500 bytes with their NULs.
    // "Big Own": its own list is cut, and the short name its needed section adds would still fit.
    std::string text = "[Version]\nSignature=\"$Windows NT$\"\nClass=Printer\n\n[VEL]\n"
                       "\"Big\"=BIG.INSTALL\n\"Big Needs\"=NEEDS.INSTALL\n\"Big Own\"=OWN.INSTALL\n\n"
                       "[BIG.INSTALL]\nCopyFiles=BIG.FILES,LAST.DLL\n\n"
                       "[NEEDS.INSTALL]\nCopyFiles=OWN.FILES\nInclude=bigbase.inf\nNeeds=BIG.NEEDED\n\n"
                       "[OWN.INSTALL]\nCopyFiles=BIG.FILES\nInclude=bigbase.inf\nNeeds=SHORT.NEEDED\n\n[BIG.FILES]\n";
    std::string own = "\n[OWN.FILES]\n";
    std::string base = "[Version]\nSignature=\"$Windows NT$\"\nClass=Printer\n\n[BIG.NEEDED]\nCopyFiles=NEEDED.FILES\n\n"
                       "[SHORT.NEEDED]\nCopyFiles=SHORT.FILES\n\n[SHORT.FILES]\nN.DLL\n\n[NEEDED.FILES]\n";
    char szName[32];
    for (int i = 0; i < 2500; ++i) {
        wsprintfA(szName, "FILE%04d.DLL\n", i);
        text += szName;
        base += szName;
        if (i < 1500)
            own += szName;
    }
    harness::ProgramFile big("big.inf", text + own);
    SystemInf bigBase("bigbase.inf", base);

    for (std::string model : { "Big", "Big Needs", "Big Own" }) {
        CAPTURE(model);
        DriverInf inf("big.inf", model.c_str());
        inf.ReadDriverInfo();
        Names names = NamesOfList(inf.m_pszDependentFiles);
        CHECK(inf.m_cbDependentFiles == LengthOf(names));
        CHECK(inf.m_cbDependentFiles <= 26000 - 1);
        CHECK(inf.m_cbDependentFiles > 26000 - 14);
        CHECK(inf.m_pszDependentFiles[inf.m_cbDependentFiles] == '\0');
        CHECK(names.back().size() == 12);
        CHECK(std::find(names.begin(), names.end(), "LAST.DLL") == names.end());
        CHECK(std::find(names.begin(), names.end(), "N.DLL") == names.end());
    }
}

TEST_CASE("whichever work buffer cannot be had, each reading step stands alone")
{
    // Every allocation of the object and its reading, failed in turn. The provider, the driver,
    // the configuration and the help file each read whole or not at all, and each can be lost
    // alone, the others read, the data file and the file list among them; only the key names
    // that every step needs take them all. An object without its own buffers finds nothing.
    auto read = [](std::vector<std::string>& fields) {
        DriverInf inf("lists.inf", "Two Lists");
        bool bBuffers = inf.HasBuffers() != FALSE;
        if (!bBuffers)
            CHECK_FALSE(inf.HasModelsSection());
        inf.ReadDriverInfo();
        if (bBuffers) {
            fields = { inf.m_pszProvider, inf.m_pszDriverFile, inf.m_pszConfigFile, inf.m_pszHelpFile,
                       inf.m_pszDataFile };
            for (const std::string& name : NamesOfList(inf.m_pszDependentFiles))
                fields.back() += "|" + name;
        }
        return bBuffers;
    };
    const size_t kAlone = 4;  // the fields read whole or not at all; then the data file and the list
    std::vector<std::string> whole;
    size_t nAllocations = 0;
    {
        harness::Injection counting;
        REQUIRE(read(whole));
        nAllocations = counting.Count(harness::SEAM_ALLOCATION);
    }
    std::vector<bool> lostAlone(kAlone, false);
    for (size_t k = 0; k < nAllocations; ++k) {
        CAPTURE(k);
        harness::Injection injection;
        injection.Fail(harness::SEAM_ALLOCATION, k);
        std::vector<std::string> fields;
        if (!read(fields))
            continue;
        size_t nLost = 0;
        for (size_t i = 0; i < kAlone; ++i) {
            CHECK_MESSAGE((fields[i] == whole[i] || fields[i].empty()), fields[i] << " for " << whole[i]);
            nLost += fields[i].empty();
        }
        CHECK((nLost <= 1 || nLost == kAlone));
        if (nLost == 1)
            CHECK(fields[kAlone] == whole[kAlone]);
        if (nLost == kAlone)
            CHECK(fields[kAlone].empty());
        for (size_t i = 0; i < kAlone; ++i)
            lostAlone[i] = lostAlone[i] || (nLost == 1 && fields[i].empty());
    }
    CHECK(lostAlone == std::vector<bool>(kAlone, true));
}
