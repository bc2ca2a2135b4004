#include "app/RightsCheck.h"
#include "app/DriverWizardApp.h"
#include <stdio.h>

namespace {

const DWORD kReadAccess = 1;
const DWORD kReadWriteAccess = 3;

// The access check against a descriptor that grants read and write to the alias alone.
BOOL IsGrantedToAlias(HANDLE hToken, DWORD dwAliasRid)
{
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID pSid = NULL;
    PSECURITY_DESCRIPTOR pDescriptor = NULL;
    PACL pAcl = NULL;
    BOOL bGranted = FALSE;

    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, dwAliasRid, 0, 0, 0, 0, 0, 0,
                                    &pSid))
        return FALSE;

    // The ACL header and one access-allowed entry, whose own SID starts in its last DWORD.
    DWORD cbAcl = ::GetLengthSid(pSid) + sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD);
    pDescriptor = ::LocalAlloc(LPTR, SECURITY_DESCRIPTOR_MIN_LENGTH);
    pAcl = pDescriptor ? static_cast<PACL>(::LocalAlloc(LPTR, cbAcl)) : NULL;
    if (pAcl != NULL && ::InitializeSecurityDescriptor(pDescriptor, SECURITY_DESCRIPTOR_REVISION) &&
        ::InitializeAcl(pAcl, cbAcl, ACL_REVISION2) &&
        ::AddAccessAllowedAce(pAcl, ACL_REVISION2, kReadWriteAccess, pSid) &&
        ::SetSecurityDescriptorDacl(pDescriptor, TRUE, pAcl, FALSE)) {
        ::SetSecurityDescriptorGroup(pDescriptor, pSid, FALSE);
        ::SetSecurityDescriptorOwner(pDescriptor, pSid, FALSE);
        if (::IsValidSecurityDescriptor(pDescriptor)) {
            GENERIC_MAPPING mapping = { 1, 2, 0, 3 };
            PRIVILEGE_SET privileges;
            DWORD cbPrivileges = sizeof(privileges);
            DWORD dwGranted = 0;
            BOOL bStatus = FALSE;
            if (::AccessCheck(pDescriptor, hToken, kReadAccess, &mapping, &privileges, &cbPrivileges, &dwGranted,
                              &bStatus))
                bGranted = bStatus;
            else
                printf("AccessCheck() failed with error %lu\n", ::GetLastError());
        }
    }

    if (pAcl != NULL)
        ::LocalFree(pAcl);
    if (pDescriptor != NULL)
        ::LocalFree(pDescriptor);
    ::FreeSid(pSid);
    return bGranted;
}

} // namespace

BOOL IsAdmin(DWORD dwAliasRid)
{
    ::ImpersonateSelf(SecurityImpersonation);
    HANDLE hToken = NULL;
    if (!::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, FALSE, &hToken)) {
        hToken = NULL;
        if (::GetLastError() != ERROR_NO_TOKEN || !::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &hToken))
            hToken = NULL;
    }
    BOOL bAdmin = hToken != NULL && IsGrantedToAlias(hToken, dwAliasRid);
    // The GUI thread goes on in its own context, and the token is not left open.
    ::RevertToSelf();
    if (hToken != NULL)
        ::CloseHandle(hToken);
    return bAdmin;
}

void CDriverWizardApp::CheckInstallRights()
{
    if (!IsSupportedSystem(m_osvi) || !IsAdmin(DOMAIN_ALIAS_RID_ADMINS))
        g_nSetupStatus = SETUP_NOT_PERMITTED;
}
