// The connection history: the IP and port lists of the main dialog, kept between runs in the
// current user's settings key as two REG_SZ values.
#pragma once

#include "platform/windows.h"

// The settings key and its two values.
#define HISTORY_KEY u"Software\\MyCompany\\Pemblar"
#define HISTORY_VALUE_IP u"Camera IP"
#define HISTORY_VALUE_PORT u"Camera Port"

// Every stored item is followed by this separator, the last one included.
#define HISTORY_DELIMITER u"..!@#$%.."
#define HISTORY_DELIMITER_LENGTH 9

// A stored value holds at most this many UTF-16 units, its terminating NUL included.
#define HISTORY_VALUE_UNITS 10000

// The longest texts the two entries accept; longer stored items are not loaded.
#define HISTORY_IP_MAX_CHARS 100
#define HISTORY_PORT_MAX_CHARS 5

/* Opens the settings key and fills both lists from it, each emptied first; a value that cannot be
   read loads as an empty list. FALSE (reported "error1 in OnInitDialog") when the key cannot be
   opened: the lists are then untouched. */
BOOL LoadConnectionHistory(CComboBox& ipList, CComboBox& portList);

/* Adds text to the list unless it is empty or an item already begins with it, letter case
   ignored. The settings are not written. */
void AddToHistory(CComboBox& list, const CString& text);

/* Writes both lists to the settings key, IP list first; a failure is reported ("error1/2/3 in
   SaveIpPortControlToRegistry") and ends the save. */
void SaveConnectionHistory(CComboBox& ipList, CComboBox& portList);

/* Stores both values as the empty text, IP value first; TRUE only when both were written. A
   failure is reported ("error1/2/3 in OnRegistryClear") and ends the clear. */
BOOL ClearStoredHistory();
