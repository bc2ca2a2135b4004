// The running system's version.
#pragma once
#include <windows.h>

// The version record; zero-filled (platform 0, version 0.0) when it cannot be read.
OSVERSIONINFOA SystemVersion();
