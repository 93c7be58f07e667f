#pragma once
// What one page may ask of the interpreter. Each limit lies far above what
// sound pages need and keeps a hostile or broken page bounded in time and
// memory; a page beyond one raises platform::PdfBudgetExceeded, which fails
// that page with the message while the conversion goes on.

#include <cstdint>

struct QVPDFPageBudget {
    /// Content operators, the page's and its forms' together: the densest
    /// real pages (maps, plans) run a few million; this is about two seconds
    /// of interpretation.
    static constexpr uint64_t kMaxOperations = 5'000'000;
    /// Decoded content bytes: the page's streams plus each form's stream at
    /// every invocation (a form run again is interpreted again).
    static constexpr uint64_t kMaxContentBytes = uint64_t(256) << 20;
    /// Form invocations: room for tens of thousands of symbol forms, while
    /// forms that invoke each other several times per level (work that
    /// doubles with every level) stop early.
    static constexpr uint64_t kMaxFormInvocations = 100'000;

    uint64_t maxOperations = kMaxOperations;
    uint64_t maxContentBytes = kMaxContentBytes;
    uint64_t maxFormInvocations = kMaxFormInvocations;
};
