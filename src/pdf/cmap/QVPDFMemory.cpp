#include "pdf/cmap/QVPDFMemory.h"

#include <climits>
#include <cstdlib>

void* QVPDF_MemAlloc(int size) {
    if (size <= 0)
        return nullptr;
    void* p = std::malloc(static_cast<size_t>(size));
    if (!p)
        throw QVPDFMemoryError("Out of memory");
    return p;
}

void* QVPDF_MemRealloc(void* block, int size) {
    if (size <= 0) {
        std::free(block);
        return nullptr;
    }
    void* p = std::realloc(block, static_cast<size_t>(size));
    if (!p)
        throw QVPDFMemoryError("Out of memory");
    return p;
}

size_t QVPDF_CheckedAllocationSize(long long count, long long elementSize) {
    if (count < 0 || elementSize < 1 || count >= INT_MAX / elementSize)
        throw QVPDFMemoryError("Bogus memory allocation size");
    return static_cast<size_t>(count * elementSize);
}

void* QVPDF_MemAllocN(int count, int size) {
    if (count == 0)
        return nullptr;
    return QVPDF_MemAlloc(static_cast<int>(QVPDF_CheckedAllocationSize(count, size)));
}

void* QVPDF_MemReallocN(void* block, int count, int size) {
    if (count == 0) {
        std::free(block);
        return nullptr;
    }
    return QVPDF_MemRealloc(block, static_cast<int>(QVPDF_CheckedAllocationSize(count, size)));
}

void QVPDF_MemFree(void* block) {
    std::free(block);
}
