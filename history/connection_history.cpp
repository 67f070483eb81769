// Loading, adding to, saving and clearing the connection history.
#include "history/connection_history.h"

#include <vector>

#include "common/trace.h"
#include "history/history_codec.h"
#include "history/settings_key.h"

namespace {

/* Empties the list, then adds every stored entry at its sorted place. */
void FillList(CComboBox& list, const CString& stored, int maxItemChars) {
    list.ResetContent();
    for (const CString& entry : DecodeHistory(stored, maxItemChars)) list.AddString(entry);
}

/* The list's items in list order. */
std::vector<CString> ListItems(const CComboBox& list) {
    std::vector<CString> items;
    for (int index = 0; index < list.GetCount(); ++index) {
        CString item;
        list.GetLBText(index, item);
        items.push_back(item);
    }
    return items;
}

}  // namespace

BOOL LoadConnectionHistory(CComboBox& ipList, CComboBox& portList) {
    const CHistoryKey key;
    if (!key.IsOpen()) {
        TraceMessage(u"error1 in OnInitDialog");
        return FALSE;
    }
    FillList(ipList, key.ReadText(HISTORY_VALUE_IP), HISTORY_IP_MAX_CHARS);
    FillList(portList, key.ReadText(HISTORY_VALUE_PORT), HISTORY_PORT_MAX_CHARS);
    return TRUE;
}

void AddToHistory(CComboBox& list, const CString& text) {
    if (list.FindString(-1, text) == CB_ERR && !text.IsEmpty()) list.AddString(text);
}

void SaveConnectionHistory(CComboBox& ipList, CComboBox& portList) {
    const CHistoryKey key;
    if (!key.IsOpen()) {
        TraceMessage(u"error1 in SaveIpPortControlToRegistry");
        return;
    }
    if (!key.WriteText(HISTORY_VALUE_IP, EncodeHistory(ListItems(ipList)))) {
        TraceMessage(u"error2 in SaveIpPortControlToRegistry");
        return;
    }
    if (!key.WriteText(HISTORY_VALUE_PORT, EncodeHistory(ListItems(portList)))) {
        TraceMessage(u"error3 in SaveIpPortControlToRegistry");
    }
}

BOOL ClearStoredHistory() {
    const CHistoryKey key;
    if (!key.IsOpen()) {
        TraceMessage(u"error1 in OnRegistryClear");
        return FALSE;
    }
    if (!key.WriteText(HISTORY_VALUE_IP, CString())) {
        TraceMessage(u"error2 in OnRegistryClear");
        return FALSE;
    }
    if (!key.WriteText(HISTORY_VALUE_PORT, CString())) {
        TraceMessage(u"error3 in OnRegistryClear");
        return FALSE;
    }
    return TRUE;
}
