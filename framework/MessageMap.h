// Message maps: each class lists the messages it handles in a static table that chains
// to its base class's table; CWnd walks the chain and calls the handler by signature.
#pragma once
#include <windows.h>
#include <commctrl.h>

class CCmdTarget;
class CWnd;

typedef void (CCmdTarget::*AFX_PMSG)();

// Handler signatures the dispatcher knows.
enum AfxSig {
    AfxSig_end = 0,
    AfxSig_vv,       // void OnX()
    AfxSig_vbw,      // void OnX(BOOL, UINT)
    AfxSig_hv,       // HCURSOR OnX()
    AfxSig_vNMHDRpl  // void OnX(NMHDR*, LRESULT*)
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;      // control notification code, 0 for window messages
    UINT nID;        // control ID, 0 for window messages and reflected notifications
    AfxSig nSig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Notifications a parent reflects back to the control that sent them.
#define WM_REFLECT_BASE 0xBC00

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        using ThisClass [[maybe_unused]] = theClass; \
        typedef baseClass TheBaseClass; \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, AfxSig_end, (AFX_PMSG)0 } \
        }; \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, &_messageEntries[0] }; \
        return &messageMap; \
    }

#define AFX_HANDLER(type, memberFxn) \
    reinterpret_cast<AFX_PMSG>(static_cast<type>(&ThisClass::memberFxn))

#define ON_COMMAND(id, memberFxn) \
    { WM_COMMAND, 0, (UINT)(id), AfxSig_vv, AFX_HANDLER(void (CCmdTarget::*)(), memberFxn) },
#define ON_CONTROL(code, id, memberFxn) \
    { WM_COMMAND, (UINT)(code), (UINT)(id), AfxSig_vv, AFX_HANDLER(void (CCmdTarget::*)(), memberFxn) },
#define ON_BN_CLICKED(id, memberFxn)    ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn)     ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)

#define ON_NOTIFY(code, id, memberFxn) \
    { WM_NOTIFY, (UINT)(code), (UINT)(id), AfxSig_vNMHDRpl, \
      AFX_HANDLER(void (CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn) },
#define ON_NOTIFY_REFLECT(code, memberFxn) \
    { WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, AfxSig_vNMHDRpl, \
      AFX_HANDLER(void (CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn) },

#define ON_WM_PAINT() \
    { WM_PAINT, 0, 0, AfxSig_vv, AFX_HANDLER(void (CCmdTarget::*)(), OnPaint) },
#define ON_WM_SHOWWINDOW() \
    { WM_SHOWWINDOW, 0, 0, AfxSig_vbw, AFX_HANDLER(void (CCmdTarget::*)(BOOL, UINT), OnShowWindow) },
#define ON_WM_QUERYDRAGICON() \
    { WM_QUERYDRAGICON, 0, 0, AfxSig_hv, AFX_HANDLER(HCURSOR (CCmdTarget::*)(), OnQueryDragIcon) },

// The first entry for the message in the map chain, or NULL.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage, UINT nCode, UINT nID);
