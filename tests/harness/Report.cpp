#include "tests/harness/Report.h"
#include <windows.h>
#include <stdio.h>

namespace harness {

void ReportOnStderr(bool bFailure, const std::string& message)
{
    fprintf(stderr, "harness: %s%s\n", bFailure ? "" : "warning: ", message.c_str());
    fflush(stderr);
    if (bFailure)
        ::ExitProcess(kFailedOutsideTest);
}

namespace {

Reporter g_pfnReporter = &ReportOnStderr;

} // namespace

void SetReporter(Reporter pfnReporter)
{
    g_pfnReporter = pfnReporter != NULL ? pfnReporter : &ReportOnStderr;
}

void Fail(const std::string& message)
{
    g_pfnReporter(true, message);
}

void Warn(const std::string& message)
{
    g_pfnReporter(false, message);
}

} // namespace harness
