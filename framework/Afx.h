// The application and dialog framework in one include.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "Button.h"
#include "CmdTarget.h"
#include "ComboBox.h"
#include "DC.h"
#include "DataExchange.h"
#include "Dialog.h"
#include "Edit.h"
#include "File.h"
#include "FrameworkRes.h"
#include "GdiObject.h"
#include "Geometry.h"
#include "ImageList.h"
#include "ListCtrl.h"
#include "MessageMap.h"
#include "Object.h"
#include "Static.h"
#include "String.h"
#include "TreeCtrl.h"
#include "WaitCursor.h"
#include "WinApp.h"
#include "Wnd.h"
