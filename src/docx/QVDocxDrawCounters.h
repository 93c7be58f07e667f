#pragma once
// Process-wide drawing counters of the word-processing and flowing-text
// outputs: draw order within a page and stacking order of floating objects
// within a document. Only one such document is converted at a time (the
// driver's serial queue), so they are plain variables.

#include <cstdint>

extern uint64_t QVDocx_NextDrawIndex;
extern int64_t QVDocx_NextPictZIndex;
extern int64_t QVDocx_NextTextBoxZIndex;
extern int64_t QVDocx_FormatVersion;
/// Number of the next VML shape id of the document ("_x0000_s1025", ...).
extern int64_t QVDocx_NextShapeID;
/// The VML shape types already defined in the document (QVDocxVML bits).
extern uint32_t QVDocx_ShapeTypesWritten;

/// Every document writer calls this when its document begins.
void QVDocx_ResetCountersForDocument();
/// Every document writer calls this when a page begins: draw order restarts at 0.
void QVDocx_ResetCountersForPage();
