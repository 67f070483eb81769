// Message tables: each class's static table of entries chained to its base class's table.
#include <bit>

#include "platform/afx.h"

namespace {

// WM_COMMAND entries match the notification code and the control id; others the message alone.
bool Matches(const AFX_MSGMAP_ENTRY& entry, UINT message, WPARAM wParam) {
    if (entry.nMessage != message) return false;
    if (message != WM_COMMAND) return true;
    return entry.nCode == HIWORD(wParam) && entry.nID == LOWORD(wParam);
}

}  // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP messageMap = {nullptr, &entries[0]};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

BOOL CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap == nullptr ? nullptr : map->pfnGetBaseMap()) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
            if (!Matches(*entry, message, wParam)) continue;
            LRESULT result = 0;
            switch (entry->nSig) {
                case AfxSig_vv:
                    (this->*entry->pfn)();
                    break;
                case AfxSig_lwl:
                    result = (this->*std::bit_cast<AFX_PMSG_LWL>(entry->pfn))(wParam, lParam);
                    break;
                default:
                    return FALSE;
            }
            if (pResult != nullptr) *pResult = result;
            return TRUE;
        }
    }
    return FALSE;
}
