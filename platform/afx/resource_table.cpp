// The resource section the program registers at start-up, read by every family that loads
// resources.
#include <atomic>

#include "platform/resource_types.h"

namespace {

const AFX_RESOURCE_TABLE kNoResources = {};
std::atomic<const AFX_RESOURCE_TABLE*> g_table{nullptr};

}  // namespace

void AfxSetResourceTable(const AFX_RESOURCE_TABLE* table) {
    g_table.store(table, std::memory_order_release);
}

const AFX_RESOURCE_TABLE& AfxGetResourceTable() {
    const AFX_RESOURCE_TABLE* table = g_table.load(std::memory_order_acquire);
    return table != nullptr ? *table : kNoResources;
}
