// The driver package reader against the system's INF parser, with INF files made for each
// case. The reader opens INFs in the program's own directory, where the build puts them.
#include <doctest.h>
#include "base/Buffers.h"
#include "inf/DriverInf.h"
#include "install/DriverInstall.h"
#include "tests/harness/Files.h"
#include "tests/harness/Injection.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/ScriptedPlatform.h"
#include <algorithm>
#include <memory>
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

TEST_CASE("a model read: its provider, files, print processor and data type, and its file list")
{
    // The sample's INF also stored in UTF-16 and with bare LF line ends; the included INF of
    // "With Include" in the system's INF directory, and then not.
    std::string sample;
    REQUIRE(harness::ReadTextFile(ProgramDirectory() + "\\izov.inf", sample));
    std::string utf16 = "\xFF\xFE";
    for (char c : sample)
        utf16 += std::string(1, c) + '\0';
    harness::ProgramFile lfFile("izov-lf.inf", harness::WithoutCarriageReturns(sample));
    harness::ProgramFile utf16File("izov-utf16.inf", utf16);
    std::string base;
    REQUIRE(harness::ReadTextFile(ProgramDirectory() + "\\" + kTestBase, base));
    std::unique_ptr<SystemInf> installedBase(new SystemInf(kTestBase, base));

    const std::string izov = "models provider=ZUV data=IZOV.GPD driver=IZOVDRV.DLL config=IZOVUI.DLL help=IZOV.HLP "
                             "included processor=IzovPrint,IZOVPP.DLL data type=RAW files=IZOV.GPD|IZOVDRV.DLL|"
                             "IZOVUI.DLL|IZOV.HLP";
    const struct {
        const char* pszInf;
        const char* pszModel;
        std::string read;
    } models[] = {
        { "lists.inf", "Nobody",
          "models provider=List Vendor data= driver= config= help= processor=, data type= files=" },
        { "lists.inf", "Two Lists",
          "models provider=List Vendor data=TWO.GPD driver=TWODRV.DLL config=TWOUI.DLL help=TWO.HLP processor=, "
          "data type= files=ONE1.DLL|ONE2.DLL<ONE2.ALT|TWO1.DLL|SINGLE.DLL|NO.SUCH.SECTION" },
        // Without a data file, the first CopyFiles field is taken, without a leading '@' only.
        { "lists.inf", "Single First",
          "models provider=List Vendor data=SINGLE.GPD driver=SINGLEDRV.DLL config=SINGLEDRV.DLL help= processor=, "
          "data type= files=SINGLE.GPD|ONE1.DLL|ONE2.DLL<ONE2.ALT|NAME@MIDDLE.DLL" },
        { "lists.inf", "Empty Fields",
          "models provider=List Vendor data=FIRST.DLL driver= config= help= processor=, data type= "
          "files=FIRST.DLL|LAST.DLL" },
        // Without Include no print processor, data type or needed files, even with their keys.
        { "noinclude.inf", "Without Include",
          "models provider=Plain Vendor data=WITHOUT.FILES driver=WITHOUTDRV.DLL config=WITHOUTDRV.DLL help= "
          "processor=, data type= files=WITHOUTDRV.DLL" },
        // With Include, every section Needs names adds what each of its CopyFiles lines names in
        // the included INF, if the system has that INF.
        { "include.inf", "With Include",
          "models provider=Include Vendor data=WITH.FILES driver=WITHDRV.DLL config=WITHDRV.DLL help= included "
          "processor=WithProc,WITHPP.DLL data type=NT EMF 1.008 files=WITHDRV.DLL|BASE1.DLL|BASE2.DLL|SECOND.DLL|"
          "THIRD.DLL" },
        { "include.inf", "With Include",
          "models provider=Include Vendor data=WITH.FILES driver=WITHDRV.DLL config=WITHDRV.DLL help= included "
          "processor=WithProc,WITHPP.DLL data type=NT EMF 1.008 files=WITHDRV.DLL" },
        // Every CopyFiles line; a file-list line's first field is the file, its second the
        // package's file when another ('<' before it), the others no names.
        { "shapes.inf", "Lines",
          "models provider=Shapes Vendor data=LINES.GPD driver=LINESDRV.DLL config=LINESUI.DLL help= processor=, "
          "data type= files=LINES.GPD|LINESDRV.DLL|LINESUI.DLL<LINESUI.NEW|LINES.INI|LINES.HLP|EXTRA.DLL" },
        // The driver's keys in the install section, where the data section is missing or lacks
        // them; without a configuration file, the driver's.
        { "shapes.inf", "Keys Here",
          "models provider=Shapes Vendor data=KEYS.GPD driver=KEYSDRV.DLL config=KEYSDRV.DLL help=KEYS.HLP "
          "processor=, data type= files=KEYS.GPD|KEYSDRV.DLL" },
        { "shapes.inf", "Keys Both",
          "models provider=Shapes Vendor data=BOTH.GPD driver=BOTHDRV.DLL config=BOTHUI.DLL help=BOTH.HLP "
          "processor=, data type= files=BOTHDRV.DLL" },
        // An empty model name reads the provider and the models section only.
        { "include.inf", "",
          "models provider=Include Vendor data= driver= config= help= processor=, data type= files=" },
        { "izov.inf", "ZUV Izov", izov },
        { "izov-lf.inf", "ZUV Izov", izov },
        { "izov-utf16.inf", "ZUV Izov", izov },
        // An INF of another class does not open.
        { "network.inf", "ZUV Izov", "no models provider= data= driver= config= help= processor=, data type= files=" },
    };
    for (const auto& model : models) {
        INFO((std::string(model.pszInf) + ", " + model.pszModel));
        DriverInf inf(model.pszInf, model.pszModel);
        std::string read = inf.HasModelsSection() ? "models" : "no models";
        inf.ReadDriverInfo();
        read += std::string(" provider=") + inf.m_pszProvider + " data=" + inf.m_pszDataFile + " driver=" +
                inf.m_pszDriverFile + " config=" + inf.m_pszConfigFile + " help=" + inf.m_pszHelpFile +
                (inf.m_bIncluded ? " included" : "") + " processor=" + inf.m_pszPrintProcessor + "," +
                inf.m_pszPrintProcessorFile + " data type=" + inf.m_pszDefaultDataType + " files=";
        Names files = NamesOfList(inf.m_pszDependentFiles);
        Names sources = NamesOfList(inf.m_pszSourceFiles);
        REQUIRE(sources.size() == files.size());
        for (size_t i = 0; i < files.size(); ++i)
            read += (i ? "|" : "") + files[i] + (sources[i] != files[i] ? "<" + sources[i] : "");
        CHECK(inf.m_cbDependentFiles == LengthOf(files));
        CHECK(read == model.read);
        if (std::string(model.pszModel) == "With Include")
            installedBase.reset();
    }
    CHECK(Take(DriverInf("izov.inf", "").GetFieldValue(1, "Version", "CatalogFile")) == "izov.cat");
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

TEST_CASE("only a printer INF of the program's own directory opens")
{
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
        CHECK(inf.IsFileListCut());

        // A driver without the files past the cut is told, and never registered.
        harness::ScriptedPlatform platform;
        harness::MessageBoxRecorder boxes;
        CString processor;
        CHECK_FALSE(InstallPrinterDriver("big.inf", model.c_str(), NULL, processor));
        REQUIRE(boxes.boxes.size() == 1);
        CHECK(boxes.boxes[0].text == harness::SystemErrorText(ERROR_INSUFFICIENT_BUFFER));
        CHECK(platform.CallsTo("EnumPrintProcessorsA").empty());
        CHECK(platform.CallsTo("AddPrinterDriverExA").empty());
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
