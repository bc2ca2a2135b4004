// Entry point of every test program: the framework's set-up, then doctest, or a part of the
// program that a test runs as a child process.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>
#include "framework/WinApp.h"
#include "tests/harness/Children.h"
#include "tests/harness/Report.h"
#include <string.h>

namespace {

// The helpers' reports become the running test case's failures and warnings.
void ReportToTestCase(bool bFailure, const std::string& message)
{
    if (!doctest::is_running_in_test)
        harness::ReportOnStderr(bFailure, message);
    else if (bFailure)
        FAIL_CHECK(message);
    else
        WARN_MESSAGE(false, message);
}

} // namespace

int main(int argc, char** argv)
{
    AfxWinInit(::GetModuleHandleA(NULL));
    if (argc >= 3 && strcmp(argv[1], "--child") == 0)
        return harness::RunChild(argv[2], argc > 3 ? argv[3] : NULL);
    harness::SetReporter(&ReportToTestCase);
    doctest::Context context(argc, argv);
    return context.run();
}
