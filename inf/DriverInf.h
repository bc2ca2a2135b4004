// DriverInf: one driver INF file of the package, opened through the platform's INF parser.
#pragma once
#include <windows.h>

class DriverInf {
public:
    DriverInf(LPCSTR pszInfFile, LPCSTR pszModel);
    ~DriverInf();

    // TRUE when the INF holds the models section, which makes it the package's driver INF.
    BOOL HasModelsSection();

private:
    DriverInf(const DriverInf&) = delete;
    DriverInf& operator=(const DriverInf&) = delete;
};
