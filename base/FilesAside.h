// Installed files that an installation is about to overwrite, moved aside first under new
// temporary names in their own directory, so that the installation can put them back if it
// fails later, or let them go once it stands.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class FilesAside {
public:
    // Moves each file of the list (names, each with its NUL, then an empty name) that the
    // directory holds to a new temporary name there. FALSE, after telling the user, when one
    // cannot be moved: those moved already are back, and nothing is to be overwritten.
    BOOL MoveAside(LPCSTR pszDirectory, LPCSTR pszFileList);
    // Puts every file back under its own name, in place of whatever a copy left there. A file
    // that cannot be put back is told, with the temporary name it is left under.
    void PutBack();
    // The installation stands: the old files go; one that is still held goes at the system's
    // next start.
    void Drop();
    bool HasMoved(LPCSTR pszName) const;

private:
    struct Moved {
        std::string name;
        std::string path;   // the file's own path
        std::string aside;  // its temporary one
    };
    std::vector<Moved> m_moved;
};
