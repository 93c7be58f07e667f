#pragma once
// The allocation functions of the character-map code. A failed allocation or a
// bogus size throws QVPDFMemoryError, which fails the page being converted;
// the process never ends here.

#include <cstddef>
#include <stdexcept>

class QVPDFMemoryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// None for a size of 0 or less; otherwise a new block (free it with QVPDF_MemFree).
void* QVPDF_MemAlloc(int size);
/// A size of 0 or less frees the block and gives none; otherwise resizes (allocates for none).
void* QVPDF_MemRealloc(void* block, int size);
/// None for a count of 0; otherwise count x size bytes after the size check.
void* QVPDF_MemAllocN(int count, int size);
/// A count of 0 frees the block and gives none; otherwise resizes after the size check.
void* QVPDF_MemReallocN(void* block, int count, int size);
void QVPDF_MemFree(void* block);

/// The size check of the counted functions: throws "Bogus memory allocation size"
/// for a negative count, an element size below 1, or a product that does not fit
/// in a positive int; otherwise the product in bytes.
size_t QVPDF_CheckedAllocationSize(long long count, long long elementSize);
