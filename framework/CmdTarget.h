// CCmdTarget: the root of the classes that have a message map, and the wait cursor calls.
#pragma once
#include "MessageMap.h"
#include "Object.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() {}

    // The application's wait cursor: shown from Begin to the matching End; Restore shows
    // it again after something (a dialog, a message box) replaced it.
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    // Calls the handler of a message map entry; FALSE for an unknown signature.
    BOOL CallHandler(const AFX_MSGMAP_ENTRY* pEntry, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};
