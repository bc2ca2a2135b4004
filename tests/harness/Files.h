// Files and directories for tests.
#pragma once
#include <string>

namespace harness {

// The directory of the running test program (where the build puts the test INFs).
std::string ProgramDirectory();
// The system's INF directory.
std::string SystemInfDirectory();

bool WriteTextFile(const std::string& path, const std::string& text);
bool ReadTextFile(const std::string& path, std::string& text);

// A new empty directory under the temporary directory, removed with what it holds.
struct TempDirectory {
    explicit TempDirectory(const char* pszName);
    ~TempDirectory();
    std::string path;
};

// A file next to the test program for as long as the object lives.
struct ProgramFile {
    ProgramFile(const char* pszName, const std::string& text);
    ~ProgramFile();
    std::string path;
};

} // namespace harness
