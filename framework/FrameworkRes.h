// String resources of the framework itself; the program's resource script includes
// FrameworkStrings.rc2 once per language.
#pragma once

#define AFX_IDS_APP_TITLE          0xE000
#define AFX_IDP_PARSE_STRING_SIZE  0xF110

// The command that asks for help.
#define ID_HELP                    0xE146
