#include "docx/QVDocxDrawCounters.h"

uint64_t QVDocx_NextDrawIndex = 0;
int64_t QVDocx_NextPictZIndex = -251657498;
int64_t QVDocx_NextTextBoxZIndex = 1;
int64_t QVDocx_FormatVersion = 2006;
int64_t QVDocx_NextShapeID = 1025;
uint32_t QVDocx_ShapeTypesWritten = 0;

void QVDocx_ResetCountersForDocument() {
    QVDocx_NextDrawIndex = 0;
    QVDocx_FormatVersion = 2006;
    // Paths and pictures stack behind the text (Word's behind-text z range);
    // text boxes stack in front of it.
    QVDocx_NextPictZIndex = -251657498;
    QVDocx_NextTextBoxZIndex = 1;
    // Word numbers the shapes of a document from 1025.
    QVDocx_NextShapeID = 1025;
    QVDocx_ShapeTypesWritten = 0;
}

void QVDocx_ResetCountersForPage() { QVDocx_NextDrawIndex = 0; }
