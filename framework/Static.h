// CStatic: a static text of a dialog.
#pragma once
#include "Wnd.h"

class CStatic : public CWnd {
};
