// Encoding and decoding of a history list's stored text.
#include "history/history_codec.h"

#include "history/connection_history.h"

std::vector<CString> DecodeHistory(const CString& stored, int maxItemChars) {
    std::vector<CString> entries;
    int start = 0;
    for (int found = stored.Find(HISTORY_DELIMITER, start); found >= 0;
         found = stored.Find(HISTORY_DELIMITER, start)) {
        // Longer texts could never be typed into the entry and would fail its validation there.
        if (found - start <= maxItemChars) entries.push_back(stored.Mid(start, found - start));
        start = found + HISTORY_DELIMITER_LENGTH;
    }
    return entries;
}

CString EncodeHistory(const std::vector<CString>& items) {
    CString stored;
    for (const CString& item : items) {
        // Whole items only, so that what is stored always loads again: a cut item would lose its
        // separator, and a longer value would not fit the load's buffer.
        if (stored.GetLength() + item.GetLength() + HISTORY_DELIMITER_LENGTH + 1 >
            HISTORY_VALUE_UNITS) {
            break;
        }
        stored += item;
        stored += HISTORY_DELIMITER;
    }
    return stored;
}
