#include "platform/image/Jbig2Codec.h"

#include "platform/LoadedLibrary.h"
#include "platform/image/RasterImage.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <jbig2.h>
}

namespace platform {

namespace {

// jbig2dec's functions, taken from the library when the first JBIG2 image is
// decoded (see LoadedLibrary): few PDFs have one.
#define CORVALA_JBIG2_FUNCTIONS(X)                                                           \
    X(complete_page) X(ctx_free) X(ctx_new_imp) X(data_in) X(global_ctx_free)              \
    X(make_global_ctx) X(page_out) X(release_page)

struct Jbig2Library {
#define CORVALA_JBIG2_MEMBER(name) decltype(&::jbig2_##name) name = nullptr;
    CORVALA_JBIG2_FUNCTIONS(CORVALA_JBIG2_MEMBER)
#undef CORVALA_JBIG2_MEMBER
    bool loaded = false; // the library and every function were found
};

CORVALA_LOADED_LIBRARY(Jbig2Library, jbig2, CORVALA_JBIG2_SONAME, "jbig2_", CORVALA_JBIG2_FUNCTIONS)

/// A new decoding context; jbig2_ctx_new, which passes the version of the
/// headers for the library to check.
Jbig2Ctx* newContext(Jbig2Allocator* allocator, Jbig2GlobalCtx* globals,
                     Jbig2ErrorCallback callback) {
    return jbig2().ctx_new_imp(allocator, JBIG2_OPTIONS_EMBEDDED, globals, callback, nullptr,
                               JBIG2_VERSION_MAJOR, JBIG2_VERSION_MINOR);
}

/// Every allocation of one decode, counted against a budget: a page of the
/// largest size we accept, plus room for symbol dictionaries and the like.
constexpr size_t kBudget = kMaxImagePixels / 8 + (size_t(64) << 20);

struct CountingAllocator {
    Jbig2Allocator base;
    size_t used = 0;
};

// Each block carries its size in a header so that frees and reallocations can
// be counted.
constexpr size_t kHeader = 16;

void* countedAlloc(Jbig2Allocator* a, size_t size) {
    auto* self = reinterpret_cast<CountingAllocator*>(a);
    if (size > kBudget || self->used + size > kBudget)
        return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!block)
        return nullptr;
    std::memcpy(block, &size, sizeof size);
    self->used += size;
    return block + kHeader;
}

void countedFree(Jbig2Allocator* a, void* p) {
    if (!p)
        return;
    auto* self = reinterpret_cast<CountingAllocator*>(a);
    unsigned char* block = static_cast<unsigned char*>(p) - kHeader;
    size_t size;
    std::memcpy(&size, block, sizeof size);
    self->used -= size;
    std::free(block);
}

void* countedRealloc(Jbig2Allocator* a, void* p, size_t size) {
    if (!p)
        return countedAlloc(a, size);
    auto* self = reinterpret_cast<CountingAllocator*>(a);
    unsigned char* block = static_cast<unsigned char*>(p) - kHeader;
    size_t old;
    std::memcpy(&old, block, sizeof old);
    if (size > kBudget || self->used - old + size > kBudget)
        return nullptr;
    auto* grown = static_cast<unsigned char*>(std::realloc(block, size + kHeader));
    if (!grown)
        return nullptr;
    std::memcpy(grown, &size, sizeof size);
    self->used = self->used - old + size;
    return grown + kHeader;
}

void quiet(void*, const char*, Jbig2Severity, uint32_t) {}

} // namespace

std::optional<Jbig2Page> decodeJbig2(std::string_view data, std::string_view globals) {
    if (data.empty() || !jbig2().loaded)
        return std::nullopt;
    CountingAllocator allocator{{countedAlloc, countedFree, countedRealloc}};
    Jbig2GlobalCtx* globalContext = nullptr;
    if (!globals.empty()) {
        Jbig2Ctx* g = newContext(&allocator.base, nullptr, quiet);
        if (!g)
            return std::nullopt;
        jbig2().data_in(g, reinterpret_cast<const unsigned char*>(globals.data()), globals.size());
        globalContext = jbig2().make_global_ctx(g);
    }
    std::optional<Jbig2Page> result;
    Jbig2Ctx* ctx = newContext(&allocator.base, globalContext, quiet);
    if (ctx) {
        jbig2().data_in(ctx, reinterpret_cast<const unsigned char*>(data.data()), data.size());
        Jbig2Image* page = jbig2().page_out(ctx);
        if (!page) {
            // Embedded streams often end without an end-of-page segment.
            jbig2().complete_page(ctx);
            page = jbig2().page_out(ctx);
        }
        if (page) {
            if (isAcceptableImageSize(page->width, page->height) && page->data) {
                Jbig2Page out;
                out.width = int(page->width);
                out.height = int(page->height);
                const size_t rowBytes = (size_t(page->width) + 7) / 8;
                out.rows.resize(rowBytes * page->height);
                for (uint32_t y = 0; y < page->height; ++y) {
                    const uint8_t* src = page->data + size_t(y) * page->stride;
                    char* dst = out.rows.data() + size_t(y) * rowBytes;
                    for (size_t i = 0; i < rowBytes; ++i)
                        dst[i] = char(~src[i]);
                }
                result = std::move(out);
            }
            jbig2().release_page(ctx, page);
        }
        jbig2().ctx_free(ctx);
    }
    if (globalContext)
        jbig2().global_ctx_free(globalContext);
    return result;
}

} // namespace platform
