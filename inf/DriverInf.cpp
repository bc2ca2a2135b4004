#include "inf/DriverInf.h"
#include "base/Buffers.h"
#include "base/Text.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include <string.h>
#include <utility>

namespace {

// A field value: up to 259 characters followed by two NULs.
const size_t FIELD_VALUE_SIZE = NAME_BUFFER_SIZE + 1;
const size_t MODEL_VALUE_SIZE = 1300;

// In INF notation a leading '@' marks a single file rather than a file-list section.
LPCSTR WithoutSingleFileMark(LPCSTR pszName)
{
    return pszName[0] == '@' ? pszName + 1 : pszName;
}

// Appends a name to a list of FILE_LIST_SIZE bytes, keeping room for the closing empty
// name; FALSE when it does not fit.
bool AppendName(char* pszList, LONG& cbList, LPCSTR pszName)
{
    size_t cch = strlen(pszName);
    if ((size_t)cbList + cch + 2 > FILE_LIST_SIZE)
        return false;
    memcpy(pszList + cbList, pszName, cch + 1);
    cbList += (LONG)(cch + 1);
    return true;
}

// Copies a looked-up value into a field and frees it; a step that got no value leaves the
// field as it was.
void Take(char* pszField, char* pszValue)
{
    if (pszValue != NULL)
        CopyText(pszField, NAME_BUFFER_SIZE, pszValue);
    FreeBuffer(pszValue);
}

// Runs one reading step; whatever goes wrong in it, the next step runs.
template <typename Step>
void Attempt(Step step)
{
    try {
        step();
    } catch (...) {
    }
}

} // namespace

DriverInf::DriverInf(LPCSTR pszInfFile, LPCSTR pszModel)
    : m_hInf(INVALID_HANDLE_VALUE),
      m_bIncluded(FALSE),
      m_pszInfFile(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszProvider(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszModel(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszPrintProcessor(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszPrintProcessorFile(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszDefaultDataType(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszDriverFile(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszDataFile(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszConfigFile(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszHelpFile(AllocBuffer(NAME_BUFFER_SIZE)),
      m_pszDependentFiles(AllocBuffer(FILE_LIST_SIZE)),
      m_cbDependentFiles(0),
      m_pszSourceFiles(AllocBuffer(FILE_LIST_SIZE)),
      m_cbPackageFiles(0),
      m_bFileListCut(false)
{
    if (!HasBuffers())
        return;
    // A name too long for its field names no file or model of this package.
    if (!CopyText(m_pszModel, NAME_BUFFER_SIZE, pszModel ? pszModel : "") ||
        !CopyText(m_pszInfFile, NAME_BUFFER_SIZE, pszInfFile ? pszInfFile : "")) {
        m_pszModel[0] = '\0';
        m_pszInfFile[0] = '\0';
        return;
    }
    OpenInf(m_pszInfFile);
}

DriverInf::~DriverInf()
{
    ThePlatform().SetupCloseInfFile(m_hInf);
    for (char* pszField : TextFields())
        FreeBuffer(pszField);
    FreeBuffer(m_pszDependentFiles);
    FreeBuffer(m_pszSourceFiles);
}

std::array<char*, 10> DriverInf::TextFields() const
{
    return { m_pszInfFile, m_pszProvider, m_pszModel, m_pszPrintProcessor, m_pszPrintProcessorFile,
             m_pszDefaultDataType, m_pszDriverFile, m_pszDataFile, m_pszConfigFile, m_pszHelpFile };
}

BOOL DriverInf::HasBuffers() const
{
    for (char* pszField : TextFields()) {
        if (pszField == NULL)
            return FALSE;
    }
    return m_pszDependentFiles != NULL && m_pszSourceFiles != NULL;
}

void DriverInf::OpenInf(LPCSTR pszInfFile)
{
    char* pszClass = LoadTextBuffer(IDS_PRINTER_CLASS);
    char* pszInclude = LoadTextBuffer(IDS_KEY_INCLUDE);
    char* pszPath = AllocBuffer(NAME_BUFFER_SIZE);
    if (pszClass != NULL && pszInclude != NULL && pszPath != NULL) {
        // The INF is always the one in the program's own directory.
        DWORD cch = ::GetModuleFileNameA(NULL, pszPath, (DWORD)NAME_BUFFER_SIZE);
        char* pszSlash = cch > 0 && cch < NAME_BUFFER_SIZE ? FindLastChar(pszPath, '\\') : NULL;
        if (pszSlash != NULL && CopyText(pszSlash + 1, NAME_BUFFER_SIZE - (pszSlash + 1 - pszPath), pszInfFile)) {
            UINT nErrorLine = 0;
            m_hInf = ThePlatform().SetupOpenInfFileA(pszPath, pszClass, INF_STYLE_WIN4, &nErrorLine);
            if (m_pszModel[0] != '\0') {
                char* pszIncluded = GetModelValue(m_pszModel, pszInclude, NULL);
                if (pszIncluded != NULL && pszIncluded[0] != '\0') {
                    m_bIncluded = TRUE;
                    // A bare name is looked up in the system's INF directory.
                    ThePlatform().SetupOpenAppendInfFileA(pszIncluded, m_hInf, &nErrorLine);
                }
                FreeBuffer(pszIncluded);
            }
        }
    }
    FreeBuffer(pszClass);
    FreeBuffer(pszInclude);
    FreeBuffer(pszPath);
}

char* DriverInf::GetFieldValue(UINT nField, LPCSTR pszSection, LPCSTR pszKey)
{
    char* pszValue = AllocBuffer(FIELD_VALUE_SIZE);
    if (pszValue == NULL)
        return NULL;
    // The parser delivers no field longer than the buffer: such a value reads as empty.
    INFCONTEXT context;
    if (ThePlatform().SetupFindFirstLineA(m_hInf, pszSection, pszKey, &context) &&
        !ThePlatform().SetupGetStringFieldA(&context, nField, pszValue, (DWORD)NAME_BUFFER_SIZE, NULL))
        pszValue[0] = '\0';
    return pszValue;
}

char* DriverInf::GetModelValue(LPCSTR pszModel, LPCSTR pszKey, LPCSTR pszViaKey)
{
    char* pszModels = LoadTextBuffer(IDS_SECTION_MODELS);
    char* pszValue = AllocBuffer(MODEL_VALUE_SIZE);
    char* pszInstall = NULL;
    char* pszTarget = NULL;
    char* pszFound = NULL;
    if (pszModels != NULL && pszValue != NULL) {
        pszInstall = GetFieldValue(1, pszModels, pszModel);
        if (pszInstall != NULL && pszViaKey != NULL) {
            pszTarget = GetFieldValue(1, pszInstall, pszViaKey);
            if (pszTarget != NULL)
                pszFound = GetFieldValue(1, pszTarget, pszKey);
        } else if (pszInstall != NULL) {
            pszFound = GetFieldValue(1, pszInstall, pszKey);
        }
    }
    if (pszFound != NULL) {
        strcpy(pszValue, pszFound);
    } else {
        FreeBuffer(pszValue);
        pszValue = NULL;
    }
    FreeBuffer(pszModels);
    FreeBuffer(pszInstall);
    FreeBuffer(pszTarget);
    FreeBuffer(pszFound);
    return pszValue;
}

bool DriverInf::FileLists::Append(LPCSTR pszFile, LPCSTR pszSource)
{
    // An empty name is no file and is left out.
    if (pszFile[0] == '\0')
        return true;
    LONG cbFiles = cbNames, cbSources = cbSourceNames;
    if (!AppendName(pszNames, cbFiles, pszFile) ||
        (pszSourceNames != NULL && !AppendName(pszSourceNames, cbSources, pszSource[0] != '\0' ? pszSource : pszFile)))
        return false;
    cbNames = cbFiles;
    cbSourceNames = cbSources;
    return true;
}

char* DriverInf::GetSectionLines(LPCSTR pszSection)
{
    FileLists lists = { AllocBuffer(FILE_LIST_SIZE), 0, NULL, 0 };
    if (lists.pszNames != NULL)
        AppendSectionLines(pszSection, lists);
    m_cbDependentFiles = lists.cbNames;
    return lists.pszNames;
}

// Appends the files of a file-list section: of each line its first field, the file's name, and
// its second, the file in the package, when it names another (the other fields are no names).
// False when the lists are full (cut after their last whole file) or a buffer cannot be had, so
// that nothing is appended after a cut.
bool DriverInf::AppendSectionLines(LPCSTR pszSection, FileLists& lists)
{
    char* pszFile = AllocBuffer(NAME_BUFFER_SIZE);
    char* pszSource = AllocBuffer(NAME_BUFFER_SIZE);
    Platform& platform = ThePlatform();
    bool bRoom = pszFile != NULL && pszSource != NULL;
    INFCONTEXT context;
    LONG nLines = platform.SetupGetLineCountA(m_hInf, pszSection);
    if (bRoom && nLines > 0 && platform.SetupFindFirstLineA(m_hInf, pszSection, NULL, &context)) {
        for (LONG i = 0; i < nLines && bRoom; ++i) {
            // A field longer than the buffer is not delivered: its line adds nothing.
            pszSource[0] = '\0';
            if (platform.SetupGetStringFieldA(&context, 1, pszFile, (DWORD)NAME_BUFFER_SIZE, NULL) &&
                (platform.SetupGetFieldCount(&context) < 2 ||
                 platform.SetupGetStringFieldA(&context, 2, pszSource, (DWORD)NAME_BUFFER_SIZE, NULL)))
                bRoom = lists.Append(pszFile, pszSource);
            if (!platform.SetupFindNextLine(&context, &context))
                break;
        }
    }
    FreeBuffer(pszFile);
    FreeBuffer(pszSource);
    return bRoom;
}

// Appends what every line of the section with the key (CopyFiles) names, in the order of the
// lines and their fields: a file-list section's files, or a single file ('@' and its name, or a
// name that is no section). False as AppendSectionLines.
bool DriverInf::AppendCopyFiles(LPCSTR pszSection, LPCSTR pszKey, FileLists& lists)
{
    char* pszField = AllocBuffer(NAME_BUFFER_SIZE);
    if (pszField == NULL)
        return false;
    Platform& platform = ThePlatform();
    bool bRoom = true;
    INFCONTEXT context;
    for (BOOL bLine = platform.SetupFindFirstLineA(m_hInf, pszSection, pszKey, &context); bLine && bRoom;
         bLine = platform.SetupFindNextMatchLineA(&context, pszKey, &context)) {
        DWORD nFields = platform.SetupGetFieldCount(&context);
        for (DWORD i = 1; i <= nFields && bRoom; ++i) {
            // A field longer than the buffer is not delivered and adds nothing.
            if (!platform.SetupGetStringFieldA(&context, i, pszField, (DWORD)NAME_BUFFER_SIZE, NULL))
                continue;
            INFCONTEXT probe;
            if (platform.SetupFindFirstLineA(m_hInf, pszField, NULL, &probe))
                bRoom = AppendSectionLines(pszField, lists);
            else
                bRoom = lists.Append(WithoutSingleFileMark(pszField), "");
        }
    }
    FreeBuffer(pszField);
    return bRoom;
}

char* DriverInf::GetFileList(LPCSTR pszModel, LPCSTR pszKey)
{
    FileLists lists = { AllocBuffer(FILE_LIST_SIZE), 0, NULL, 0 };
    if (lists.pszNames == NULL)
        return NULL;
    char* pszModels = LoadTextBuffer(IDS_SECTION_MODELS);
    char* pszInstall = pszModels != NULL ? GetFieldValue(1, pszModels, pszModel) : NULL;
    m_bFileListCut = pszInstall != NULL && !AppendCopyFiles(pszInstall, pszKey, lists);
    m_cbDependentFiles = lists.cbNames;
    FreeBuffer(pszModels);
    FreeBuffer(pszInstall);
    return lists.pszNames;
}

BOOL DriverInf::HasModelsSection()
{
    char* pszModels = LoadTextBuffer(IDS_SECTION_MODELS);
    if (pszModels == NULL)
        return FALSE;
    INFCONTEXT context;
    BOOL bFound = ThePlatform().SetupFindFirstLineA(m_hInf, pszModels, NULL, &context);
    FreeBuffer(pszModels);
    return bFound;
}

void DriverInf::ReadDriverInfo()
{
    if (!HasBuffers())
        return;
    const UINT kNameIDs[] = { IDS_KEY_COPYFILES, IDS_KEY_DRIVERFILE, IDS_KEY_CONFIGFILE, IDS_KEY_HELPFILE,
                              IDS_KEY_PROVIDER, IDS_KEY_DATAFILE, IDS_KEY_DATASECTION, IDS_SECTION_VERSION,
                              IDS_SECTION_MODELS, IDS_KEY_NEEDS };
    const size_t kNames = sizeof(kNameIDs) / sizeof(kNameIDs[0]);
    char* names[kNames] = {};
    bool bNames = true;
    for (size_t i = 0; i < kNames; ++i)
        bNames = (names[i] = LoadTextBuffer(kNameIDs[i])) != NULL && bNames;
    LPCSTR pszCopyFiles = names[0], pszDriverFile = names[1], pszConfigFile = names[2], pszHelpFile = names[3];
    LPCSTR pszProvider = names[4], pszDataFile = names[5], pszDataSection = names[6], pszVersion = names[7];
    LPCSTR pszModels = names[8], pszNeeds = names[9];

    if (bNames) {
        Attempt([&] {
            if (m_bIncluded)
                ReadPrintProcessorInfo(m_pszModel);
        });
        Attempt([&] { Take(m_pszProvider, GetFieldValue(1, pszVersion, pszProvider)); });
        Attempt([&] {
            char* pszValue = GetDriverValue(pszDataFile, pszDataSection);
            if (pszValue == NULL || pszValue[0] == '\0') {
                FreeBuffer(pszValue);
                pszValue = GetModelValue(m_pszModel, pszCopyFiles, NULL);
            }
            if (pszValue != NULL)
                memmove(pszValue, WithoutSingleFileMark(pszValue), strlen(WithoutSingleFileMark(pszValue)) + 1);
            Take(m_pszDataFile, pszValue);
        });
        Attempt([&] { Take(m_pszDriverFile, GetDriverValue(pszDriverFile, pszDataSection)); });
        // Without a configuration file of its own, the driver configures itself.
        Attempt([&] {
            char* pszValue = GetDriverValue(pszConfigFile, pszDataSection);
            if (pszValue != NULL && pszValue[0] == '\0')
                CopyText(pszValue, NAME_BUFFER_SIZE, m_pszDriverFile);
            Take(m_pszConfigFile, pszValue);
        });
        Attempt([&] { Take(m_pszHelpFile, GetDriverValue(pszHelpFile, pszDataSection)); });
        Attempt([&] { ReadDependentFiles(pszModels, pszCopyFiles, pszNeeds); });
    }
    for (size_t i = 0; i < kNames; ++i)
        FreeBuffer(names[i]);
}

// The package's own files, then, for an INF with Include, those that the sections named by
// Needs copy. A list cut gets nothing more.
void DriverInf::ReadDependentFiles(LPCSTR pszModels, LPCSTR pszCopyFiles, LPCSTR pszNeeds)
{
    char* pszInstall = GetFieldValue(1, pszModels, m_pszModel);
    char* pszNeeded = AllocBuffer(NAME_BUFFER_SIZE);
    FileLists lists = { AllocBuffer(FILE_LIST_SIZE), 0, AllocBuffer(FILE_LIST_SIZE), 0 };
    Platform& platform = ThePlatform();
    bool bRoom = false;
    if (pszInstall != NULL && pszNeeded != NULL && lists.pszNames != NULL && lists.pszSourceNames != NULL) {
        bRoom = AppendCopyFiles(pszInstall, pszCopyFiles, lists);
        m_cbPackageFiles = lists.cbNames;
        INFCONTEXT context;
        for (BOOL bLine = m_bIncluded && platform.SetupFindFirstLineA(m_hInf, pszInstall, pszNeeds, &context);
             bLine && bRoom; bLine = platform.SetupFindNextMatchLineA(&context, pszNeeds, &context)) {
            DWORD nFields = platform.SetupGetFieldCount(&context);
            for (DWORD i = 1; i <= nFields && bRoom; ++i) {
                if (platform.SetupGetStringFieldA(&context, i, pszNeeded, (DWORD)NAME_BUFFER_SIZE, NULL))
                    bRoom = AppendCopyFiles(pszNeeded, pszCopyFiles, lists);
            }
        }
        std::swap(m_pszDependentFiles, lists.pszNames);
        std::swap(m_pszSourceFiles, lists.pszSourceNames);
        m_cbDependentFiles = lists.cbNames;
        m_bFileListCut = !bRoom;
    }
    FreeBuffer(pszInstall);
    FreeBuffer(pszNeeded);
    FreeBuffer(lists.pszNames);
    FreeBuffer(lists.pszSourceNames);
}

// A key of the driver: in the data section, or where the install section has none or the data
// section lacks it, in the install section itself, as Windows reads them.
char* DriverInf::GetDriverValue(LPCSTR pszKey, LPCSTR pszDataSection)
{
    char* pszValue = GetModelValue(m_pszModel, pszKey, pszDataSection);
    if (pszValue == NULL || pszValue[0] != '\0')
        return pszValue;
    FreeBuffer(pszValue);
    return GetModelValue(m_pszModel, pszKey, NULL);
}

BOOL DriverInf::ReadPrintProcessorInfo(LPCSTR pszModel)
{
    if (pszModel == NULL || pszModel[0] == '\0')
        return FALSE;
    char* pszDefaultData = LoadTextBuffer(IDS_KEY_DEFAULTDATA);
    char* pszDataSection = LoadTextBuffer(IDS_KEY_DATASECTION);
    char* pszPrintProcessor = LoadTextBuffer(IDS_KEY_PRINTPROCESSOR);
    char* pszModels = LoadTextBuffer(IDS_SECTION_MODELS);
    if (pszDefaultData != NULL && pszDataSection != NULL && pszPrintProcessor != NULL && pszModels != NULL) {
        char* pszInstall = GetFieldValue(1, pszModels, pszModel);
        if (pszInstall != NULL) {
            Take(m_pszPrintProcessor, GetFieldValue(1, pszInstall, pszPrintProcessor));
            Take(m_pszPrintProcessorFile, GetFieldValue(2, pszInstall, pszPrintProcessor));
            char* pszDataType = GetFieldValue(1, pszInstall, pszDefaultData);
            if (pszDataType != NULL && pszDataType[0] == '\0') {
                FreeBuffer(pszDataType);
                pszDataType = GetModelValue(pszModel, pszDefaultData, pszDataSection);
            }
            Take(m_pszDefaultDataType, pszDataType);
        }
        FreeBuffer(pszInstall);
    }
    FreeBuffer(pszDefaultData);
    FreeBuffer(pszDataSection);
    FreeBuffer(pszPrintProcessor);
    FreeBuffer(pszModels);
    return m_pszPrintProcessor[0] != '\0' || m_pszPrintProcessorFile[0] != '\0' || m_pszDefaultDataType[0] != '\0';
}
