// Entry point of every test program: the framework's set-up, then doctest.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>
#include "framework/WinApp.h"

int main(int argc, char** argv)
{
    AfxWinInit(::GetModuleHandleA(NULL));
    doctest::Context context(argc, argv);
    return context.run();
}
