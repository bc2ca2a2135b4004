// Message boxes whose texts come from the string table.
#pragma once
#include <windows.h>

// Shows string nTextID under caption nCaptionID and returns the button pressed; shows nothing
// and returns 0 when the texts' buffers cannot be had.
int ShowTableMessage(HWND hOwner, UINT nTextID, UINT nCaptionID, UINT uType);
