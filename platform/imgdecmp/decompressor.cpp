#include "platform/imgdecmp/decompressor.h"

#include <memory>
#include <type_traits>

namespace imgdecmp {
namespace {

struct DestroyDecompressor {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Decompressor = std::unique_ptr<std::remove_pointer_t<tjhandle>, DestroyDecompressor>;

thread_local Decompressor t_decompressor;

}  // namespace

tjhandle ThreadDecompressor() {
    if (t_decompressor == nullptr) t_decompressor.reset(tjInitDecompress());
    return t_decompressor.get();
}

void DiscardThreadDecompressor() { t_decompressor.reset(); }

}  // namespace imgdecmp
