#include "platform/image/Jbig2Codec.h"

#include "platform/image/RasterImage.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <jbig2.h>
}

namespace platform {

namespace {

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
    if (data.empty())
        return std::nullopt;
    CountingAllocator allocator{{countedAlloc, countedFree, countedRealloc}};
    Jbig2GlobalCtx* globalContext = nullptr;
    if (!globals.empty()) {
        Jbig2Ctx* g =
            jbig2_ctx_new(&allocator.base, JBIG2_OPTIONS_EMBEDDED, nullptr, quiet, nullptr);
        if (!g)
            return std::nullopt;
        jbig2_data_in(g, reinterpret_cast<const unsigned char*>(globals.data()), globals.size());
        globalContext = jbig2_make_global_ctx(g);
    }
    std::optional<Jbig2Page> result;
    Jbig2Ctx* ctx =
        jbig2_ctx_new(&allocator.base, JBIG2_OPTIONS_EMBEDDED, globalContext, quiet, nullptr);
    if (ctx) {
        jbig2_data_in(ctx, reinterpret_cast<const unsigned char*>(data.data()), data.size());
        Jbig2Image* page = jbig2_page_out(ctx);
        if (!page) {
            // Embedded streams often end without an end-of-page segment.
            jbig2_complete_page(ctx);
            page = jbig2_page_out(ctx);
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
            jbig2_release_page(ctx, page);
        }
        jbig2_ctx_free(ctx);
    }
    if (globalContext)
        jbig2_global_ctx_free(globalContext);
    return result;
}

} // namespace platform
