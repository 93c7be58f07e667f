#pragma once
// The graphics states of one page: the top is the current state; save pushes a
// copy of it, restore pops. Forms run on the page's stack.

#include "pdf/content/QVPDFRenderState.h"

#include <memory>
#include <vector>

class RenderingStateStack {
public:
    /// One new state.
    RenderingStateStack() { reset(); }
    /// Removes every state and pushes one new state.
    void reset();
    /// The current state, or none when the stack is empty. The pointer stays
    /// valid while the state is on the stack.
    QVPDFRenderState* topRenderingState();
    const QVPDFRenderState* topRenderingState() const;
    void saveRenderingState(std::unique_ptr<QVPDFRenderState> state);
    /// Removes the top state and hands it back; none when the stack is empty.
    std::unique_ptr<QVPDFRenderState> restoreRenderingState();
    size_t depth() const { return stack_.size(); }

private:
    std::vector<std::unique_ptr<QVPDFRenderState>> stack_;
};
