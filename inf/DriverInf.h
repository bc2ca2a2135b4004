// DriverInf: one driver INF of the package, opened through the platform's INF parser, and
// the description of the printer driver read from it. It is made, used and deleted within
// one operation.
#pragma once
#include <windows.h>
#include <setupapi.h>
#include <array>

class DriverInf {
public:
    // Opens the INF of this name in the program's own directory and, for a model that names
    // one, appends its Include INF. A failure leaves an object whose lookups find nothing.
    DriverInf(LPCSTR pszInfFile, LPCSTR pszModel);
    ~DriverInf();

    // FALSE when the object's own buffers could not be had; it then reads nothing.
    BOOL HasBuffers() const;

    // Lookups. Each returns a zero-filled heap buffer that the caller frees with FreeBuffer,
    // or NULL when memory runs out; what is not found reads as empty.
    // Field nField (1 = the first after the key) of the line with the key, or of the
    // section's first line when pszKey is NULL.
    char* GetFieldValue(UINT nField, LPCSTR pszSection, LPCSTR pszKey);
    // A key of the model's install section, or, with pszViaKey, of the section that this
    // key of the install section names.
    char* GetModelValue(LPCSTR pszModel, LPCSTR pszKey, LPCSTR pszViaKey);
    // Every file that the lines of a CopyFiles-style key of the model's install section name, as
    // a list; sets m_cbDependentFiles to its length. A list that does not fit is cut after its
    // last whole name, and nothing is appended to it later.
    char* GetFileList(LPCSTR pszModel, LPCSTR pszKey);
    // The file of every line of a file-list section (its first field), as a list; sets
    // m_cbDependentFiles to its length.
    char* GetSectionLines(LPCSTR pszSection);
    BOOL HasModelsSection();

    // Fills the description from the INF; a step that fails leaves its fields as they were.
    void ReadDriverInfo();
    // Whether the dependent-file list was cut at its bound: the INF names more files than it holds.
    bool IsFileListCut() const { return m_bFileListCut; }
    // Fills the print processor's name and file and the default data type; TRUE when any of
    // them is not empty.
    BOOL ReadPrintProcessorInfo(LPCSTR pszModel);

    HINF m_hInf;
    BOOL m_bIncluded;               // the install section names an Include INF
    char* m_pszInfFile;             // NAME_BUFFER_SIZE bytes each
    char* m_pszProvider;
    char* m_pszModel;
    char* m_pszPrintProcessor;
    char* m_pszPrintProcessorFile;
    char* m_pszDefaultDataType;
    char* m_pszDriverFile;
    char* m_pszDataFile;
    char* m_pszConfigFile;
    char* m_pszHelpFile;
    char* m_pszDependentFiles;      // FILE_LIST_SIZE bytes: names, each with its NUL, then an empty name
    LONG m_cbDependentFiles;        // the names' bytes, NULs included, the closing empty name not
    char* m_pszSourceFiles;         // FILE_LIST_SIZE bytes: for each dependent file, in the same order,
                                    // the package's file it is copied from (the same name, or another)
    LONG m_cbPackageFiles;          // the bytes of the dependent files that the model's own CopyFiles
                                    // names; those of the sections named by Needs follow them

private:
    DriverInf(const DriverInf&) = delete;
    DriverInf& operator=(const DriverInf&) = delete;

    std::array<char*, 10> TextFields() const;
    void OpenInf(LPCSTR pszInfFile);
    // A list of files and, when pszSourceNames is given, the list of their files in the package.
    struct FileLists {
        char* pszNames;
        LONG cbNames;
        char* pszSourceNames;
        LONG cbSourceNames;
        // Appends a file and its source (none: the file itself) to both lists, or to neither;
        // false when either would not fit.
        bool Append(LPCSTR pszFile, LPCSTR pszSource);
    };
    char* GetDriverValue(LPCSTR pszKey, LPCSTR pszDataSection);
    void ReadDependentFiles(LPCSTR pszModels, LPCSTR pszCopyFiles, LPCSTR pszNeeds);
    bool AppendSectionLines(LPCSTR pszSection, FileLists& lists);
    bool AppendCopyFiles(LPCSTR pszSection, LPCSTR pszKey, FileLists& lists);

    bool m_bFileListCut;  // the last list made did not hold every name
};
