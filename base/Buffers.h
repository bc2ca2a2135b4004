// Work buffers: zero-filled blocks from the C heap, taken by an operation and freed before
// it returns, and string-table texts loaded into them just before use.
#pragma once
#include <windows.h>
#include <stddef.h>

const size_t NAME_BUFFER_SIZE = 260;      // a name or a path
const size_t QUESTION_BUFFER_SIZE = 780;  // the two yes/no questions
const size_t NAME_LIST_SIZE = 6500;       // candidate INF list, monitor file list, ports
const size_t FILE_LIST_SIZE = 26000;      // driver file lists

// A zero-filled block, or NULL, with the last error ERROR_NOT_ENOUGH_MEMORY, when memory runs
// out. The caller frees it with FreeBuffer.
char* AllocBuffer(size_t cb);
void FreeBuffer(void* pBuffer);
// How many work buffers could not be had so far. An operation that hands a step its buffers'
// taking compares the count before and after, to learn whether the step went without one.
unsigned BuffersRefused();

// String nID in a new zero-filled block of cb bytes (cut to fit), or NULL when the block
// cannot be had. The caller frees it with FreeBuffer.
char* LoadTextBuffer(UINT nID, size_t cb = NAME_BUFFER_SIZE);

// Copies the text into a block of cb bytes; FALSE, with the block untouched, when it does not
// fit with its NUL.
BOOL CopyText(char* pszDest, size_t cb, LPCSTR pszSource);

// What takes a work buffer from the heap: a zero-filled block of cb bytes that FreeBuffer (the
// C heap's free) releases, or NULL.
typedef void* (*BufferAllocator)(size_t cb);
// For tests: puts another allocator in place (NULL: the C heap's again) and returns the one it
// replaced, so that a test can count the buffers taken or refuse one.
BufferAllocator SetBufferAllocator(BufferAllocator pfnAllocate);
