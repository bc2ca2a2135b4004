// Work buffers: zero-filled blocks from the C heap, taken by an operation and freed before
// it returns, and string-table texts loaded into them just before use.
#pragma once
#include <windows.h>
#include <stddef.h>

const size_t NAME_BUFFER_SIZE = 260;      // a name or a path
const size_t QUESTION_BUFFER_SIZE = 780;  // the two yes/no questions
const size_t NAME_LIST_SIZE = 6500;       // candidate INF list, monitor file list, ports
const size_t FILE_LIST_SIZE = 26000;      // driver file lists

// A zero-filled block, or NULL when memory runs out. The caller frees it with FreeBuffer.
char* AllocBuffer(size_t cb);
void FreeBuffer(void* pBuffer);

// String nID in a new zero-filled block of cb bytes (cut to fit), or NULL when the block
// cannot be had. The caller frees it with FreeBuffer.
char* LoadTextBuffer(UINT nID, size_t cb = NAME_BUFFER_SIZE);

// Copies the text into a block of cb bytes; FALSE, with the block untouched, when it does not
// fit with its NUL.
BOOL CopyText(char* pszDest, size_t cb, LPCSTR pszSource);

// For tests: the nth allocation from now on fails (1 = the next one); 0 lets all succeed.
void FailBufferAllocation(int nth);
