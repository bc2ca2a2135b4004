// Files and directories for tests.
#pragma once
#include <string>
#include <vector>

namespace harness {

// The directory of the running test program (where the build puts the test INFs).
std::string ProgramDirectory();
// The system's INF directory.
std::string SystemInfDirectory();

bool WriteTextFile(const std::string& path, const std::string& text);
bool ReadTextFile(const std::string& path, std::string& text);
// The file's content; a file that cannot be read fails the test.
std::string FileText(const std::string& path);
// The names of a list: each with its NUL, then an empty name.
std::vector<std::string> NamesOfList(const char* pszList);
// Whether a file or directory is at the path.
bool Exists(const std::string& path);
// The names of the directory's plain files that match the pattern, sorted.
std::vector<std::string> FilesIn(const std::string& directory, const char* pszPattern = "*");
// The names of the directory's subdirectories, sorted.
std::vector<std::string> DirectoriesIn(const std::string& directory);
// The text with its carriage returns left out, for comparing what an edit control shows.
std::string WithoutCarriageReturns(std::string text);
// This process's current directory.
std::string CurrentDirectory();
// Removes the directory and everything in it.
void RemoveTree(const std::string& path);

// A new empty directory under the temporary directory, removed with what it holds.
struct TempDirectory {
    explicit TempDirectory(const char* pszName);
    ~TempDirectory();
    std::string path;
};

// The directory made current for as long as the object lives (bEntered: it could be); the one
// current before is current again afterwards.
struct InDirectory {
    explicit InDirectory(const std::string& path);
    ~InDirectory();
    std::string before;
    bool bEntered;
};

// A file next to the test program for as long as the object lives.
struct ProgramFile {
    ProgramFile(const char* pszName, const std::string& text);
    ~ProgramFile();
    std::string path;
};

} // namespace harness
