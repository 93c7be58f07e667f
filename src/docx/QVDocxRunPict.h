#pragma once
// Base of the floating runs (paths, images, text boxes, text on a path):
// they stack by their own order, apart from the flow of the text.

#include "docx/QVDocxRun.h"

#include <cstdint>

class QVDocxRunPict : public QVDocxRun {
public:
    int64_t pictZIndex() const { return pictZIndex_; }
    void setPictZIndex(int64_t v) { pictZIndex_ = v; }

private:
    int64_t pictZIndex_ = 0;
};
