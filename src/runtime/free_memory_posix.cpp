#include "runtime/free_memory.h"

#include <malloc.h>

namespace runtime {

void ReturnFreeMemory()
{
#if defined(__GLIBC__)
    // Also releases whole free pages inside the heap, not just its top.
    malloc_trim(0);
#endif
}

} // namespace runtime
