#include "pdf/content/RenderingStateStack.h"

void RenderingStateStack::reset() {
    stack_.clear();
    stack_.push_back(std::make_unique<QVPDFRenderState>());
}

QVPDFRenderState* RenderingStateStack::topRenderingState() {
    return stack_.empty() ? nullptr : stack_.back().get();
}

const QVPDFRenderState* RenderingStateStack::topRenderingState() const {
    return stack_.empty() ? nullptr : stack_.back().get();
}

void RenderingStateStack::saveRenderingState(std::unique_ptr<QVPDFRenderState> state) {
    if (state)
        stack_.push_back(std::move(state));
}

std::unique_ptr<QVPDFRenderState> RenderingStateStack::restoreRenderingState() {
    if (stack_.empty())
        return nullptr;
    std::unique_ptr<QVPDFRenderState> top = std::move(stack_.back());
    stack_.pop_back();
    return top;
}
