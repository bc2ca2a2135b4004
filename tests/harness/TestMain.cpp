// Entry point of every test program: the framework's set-up, then doctest, or a part of the
// program that a test runs as a child process.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>
#include "framework/WinApp.h"
#include "tests/harness/Children.h"
#include <string.h>

int main(int argc, char** argv)
{
    AfxWinInit(::GetModuleHandleA(NULL));
    if (argc == 3 && strcmp(argv[1], "--child") == 0)
        return harness::RunChild(argv[2]);
    doctest::Context context(argc, argv);
    return context.run();
}
