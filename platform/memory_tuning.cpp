#include "platform/memory_tuning.hpp"

#include <malloc.h>

namespace {

// Blocks up to this size come from the heap rather than their own mapping, and the heap keeps
// up to this much free at its top. Both well above one frame's churn at 1280 x 800.
constexpr int kKeepBytes = 256 * 1024 * 1024;

} // namespace

void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, kKeepBytes / 8);
    mallopt(M_TRIM_THRESHOLD, kKeepBytes);
    mallopt(M_TOP_PAD, 16 * 1024 * 1024);
#endif
}
