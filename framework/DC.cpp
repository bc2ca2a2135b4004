#include "DC.h"
#include "Wnd.h"

namespace {
LONG g_nLiveDCs = 0;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    if (m_hDC != NULL)
        return FALSE;
    HDC hDC = ::CreateCompatibleDC(pDC ? pDC->m_hDC : NULL);
    if (hDC == NULL)
        return FALSE;
    m_hDC = m_hAttribDC = hDC;
    m_bOwned = TRUE;
    ++g_nLiveDCs;
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    if (m_hDC == NULL || !m_bOwned)
        return FALSE;
    HDC hDC = Detach();
    --g_nLiveDCs;
    return ::DeleteDC(hDC);
}

BOOL CDC::Attach(HDC hDC)
{
    if (hDC == NULL || m_hDC != NULL)
        return FALSE;
    m_hDC = m_hAttribDC = hDC;
    m_bOwned = FALSE;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    m_hDC = m_hAttribDC = NULL;
    m_bOwned = FALSE;
    return hDC;
}

LONG CDC::GetLiveCount()
{
    return g_nLiveDCs;
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd)
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}
