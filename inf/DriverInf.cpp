#include "inf/DriverInf.h"

DriverInf::DriverInf(LPCSTR, LPCSTR)
{
}

DriverInf::~DriverInf()
{
}

// Not built yet: no INF is taken as the package's driver INF.
BOOL DriverInf::HasModelsSection()
{
    return FALSE;
}
