// What a helper finds wrong reaches the test that called it: in a test program, a failure (or a
// warning) of the running test case; elsewhere (a child process, a benchmark), a line on stderr,
// and a failure ends the process with kFailedOutsideTest.
#pragma once
#include <sstream>
#include <string>

namespace harness {

const int kFailedOutsideTest = 98;

void Fail(const std::string& message);
void Warn(const std::string& message);

// The test program's main sets what reports go to.
typedef void (*Reporter)(bool bFailure, const std::string& message);
void SetReporter(Reporter pfnReporter);
// The reporter outside a test case.
void ReportOnStderr(bool bFailure, const std::string& message);

// Text for a report: Said() << "no control " << nID.
struct Said {
    std::ostringstream stream;
    template <typename T>
    Said& operator<<(const T& value)
    {
        stream << value;
        return *this;
    }
    operator std::string() const { return stream.str(); }
};

} // namespace harness
