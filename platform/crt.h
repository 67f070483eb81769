// C library family: the character conversions and tests the system uses.
#pragma once

#include <cstdlib>

#include "windef.h"

// atoi: the C library's own (leading white space, one sign, decimal digits; 0 without digits).
using ::atoi;

/* wcstombs: converts up to count units of UTF-16 text to single bytes (U+0000..U+00FF as that
   byte, any other unit as '?'), adding the terminator if it fits; the bytes written without the
   terminator, or the length needed when dest is NULL. */
size_t wcstombs(char* dest, const WCHAR* src, size_t count);

/* iswalpha: nonzero when the UTF-16 unit is a letter of any script. */
int iswalpha(WCHAR c);

/* wcslen: the number of units before the first zero unit. */
size_t wcslen(const WCHAR* s);

/* wcscmp: compares two zero-terminated UTF-16 texts unit by unit as unsigned values; <0, 0, >0. */
int wcscmp(const WCHAR* a, const WCHAR* b);
