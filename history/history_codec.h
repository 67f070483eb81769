// The stored form of one history list: each item followed by HISTORY_DELIMITER.
#pragma once

#include <vector>

#include "platform/windows.h"

/* The entries of a stored text in stored order: the texts before each separator, empty ones
   included, text after the last separator ignored; entries longer than maxItemChars are left out.
 */
std::vector<CString> DecodeHistory(const CString& stored, int maxItemChars);

/* The stored text of a list: its items in order, each followed by the separator, as many whole
   items as fit a value of HISTORY_VALUE_UNITS units with its terminating NUL. */
CString EncodeHistory(const std::vector<CString>& items);
