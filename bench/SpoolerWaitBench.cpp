// Measures what waiting for a slow spooler costs: a start that stays pending for about 20 s
// (scripted), against the wait itself. The wizard polls with pauses, so its CPU time should be
// a sliver of the wall time.
//   spooler_wait_bench [SECONDS]
#include "framework/Afx.h"
#include "monitor/SpoolerService.h"
#include "tests/harness/MessageBoxes.h"
#include "tests/harness/ScriptedPlatform.h"
#include "tests/harness/Texts.h"
#include <stdio.h>
#include <stdlib.h>

namespace {

double CpuMilliseconds()
{
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return (k.QuadPart + u.QuadPart) / 10000.0;
}

} // namespace

int main(int argc, char** argv)
{
    AfxWinInit(::GetModuleHandleA(NULL));
    int nSeconds = argc > 1 ? atoi(argv[1]) : 20;
    // A wait as long as the wizard's limit would end in its timeout, not in a running spooler.
    if (nSeconds < 1 || (DWORD)nSeconds * 1000 >= SERVICE_WAIT_LIMIT_MS) {
        fprintf(stderr, "usage: spooler_wait_bench [SECONDS], under %lu\n",
                (unsigned long)(SERVICE_WAIT_LIMIT_MS / 1000));
        return 2;
    }
    harness::ScriptedPlatform platform;
    harness::MessageBoxRecorder boxes;
    harness::ScriptedPlatform::Service& spooler = platform.ServiceNamed("Spooler");
    spooler.dwState = SERVICE_STOPPED;
    spooler.nPendingQueries = nSeconds * 4;  // the wizard asks every 250 ms
    boxes.Answer(IDYES);

    DWORD dwStart = ::GetTickCount();
    double dCpuStart = CpuMilliseconds();
    BOOL bRunning = EnsureSpoolerRunning(NULL);
    double dCpu = CpuMilliseconds() - dCpuStart;
    DWORD dwWall = ::GetTickCount() - dwStart;
    if (!bRunning || boxes.boxes.size() != 1 || boxes.boxes[0].text != harness::kStartSpooler) {
        fprintf(stderr, "spooler_wait_bench: the spooler did not come up as scripted\n");
        return 1;
    }
    printf("Waiting for a spooler whose start stays pending for %d s:\n", nSeconds);
    printf("  the wait (wall time):           %8lu ms\n", (unsigned long)dwWall);
    printf("  the wizard's CPU time:          %8.1f ms\n", dCpu);
    printf("  ratio CPU / wait:               %8.4f (aim: under 0.02)\n", dwWall > 0 ? dCpu / dwWall : 0.0);
    return 0;
}
