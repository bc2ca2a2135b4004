#include "base/Text.h"
#include <windows.h>

bool IsSystemLeadByte(unsigned char ch)
{
    // No code page of the system leads with a byte below 0x80: text in ASCII costs no call.
    return ch >= 0x80 && ::IsDBCSLeadByte(ch);
}
