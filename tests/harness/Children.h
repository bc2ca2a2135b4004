// A test program can run a part of itself as a child process, for instance without the
// rights of an administrator, and read the child's exit code.
//
//     TEST_CHILD(probe_admin) { return IsAdmin(544) ? 1 : 0; }
//     CHECK(harness::RunChildWithoutAdminRights("probe_admin") == 0);
//
// A child is also the way to test code that ends the program. What the child's message boxes
// said comes back to the parent, whose test compares it as it would its own boxes.
#pragma once
#include "tests/harness/MessageBoxes.h"
#include <windows.h>

namespace harness {

typedef int (*ChildMain)();

struct ChildRegistration {
    ChildRegistration(const char* pszName, ChildMain pfnMain);
};

#define TEST_CHILD(name)                                                                  \
    static int name##_child();                                                            \
    static harness::ChildRegistration name##_registration(#name, &name##_child);          \
    static int name##_child()

// The test program's main calls this for "--child NAME [BOXES]"; 99 for an unknown name. The
// child's recorders hand their boxes over in the file BOXES.
int RunChild(const char* pszName, const char* pszBoxesFile);

// A copy of this process's token in which the Administrators group only denies. The caller
// closes it.
HANDLE TokenWithoutAdminRights();

// Runs "this program --child NAME" as a process of its own; its exit code, or -1. The boxes
// the child showed go to pBoxes; without it, a child that showed any fails the test.
int RunChildProcess(const char* pszName, RecordedBoxes* pBoxes = NULL);
// The same, with the Administrators group only denying.
int RunChildWithoutAdminRights(const char* pszName, RecordedBoxes* pBoxes = NULL);

} // namespace harness
