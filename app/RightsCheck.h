// Whether this user may install: a member of the local Administrators group.
#pragma once
#include <windows.h>

// TRUE when the calling thread's security context is granted access by a security
// descriptor whose only access-allowed entry is for the built-in alias (544: the
// Administrators); FALSE otherwise or when any step of the test fails. The thread is back
// in its own context afterwards.
BOOL IsAdmin(DWORD dwAliasRid);
