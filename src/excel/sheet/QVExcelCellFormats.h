#pragma once
// The cell formats of text and number cells, found in or added to the style
// registry of the document's spreadsheet state, following its switches
// (default font name and size, wrapped text, fills, bold and italic).

#include "platform/Geometry.h"

#include <cstdint>

class QVExcelManager;
class QVExcelNumber;
class QVExcelRunText;
class QVExcelRunTextProperty;
class QVExcelStringItem;

class QVExcelCellFormats {
public:
    QVExcelCellFormats() = delete;

    /// The index of the run's cell font; also writes the font's name, size
    /// and colour back into the run's properties. The fill takes no part.
    static int32_t collectFontsWithRun(QVExcelManager& manager, QVExcelRunText& run,
                                       int32_t fillID);
    /// The cell format of a text cell: its font (0 for rich text), aligned
    /// within its cell frame (display space; only the horizontal extent counts).
    static int32_t getStyleIndex(QVExcelManager& manager, const QVExcelStringItem& item,
                                 const platform::Rect& cellFrame);
    /// The cell format of a number cell: its number format (a custom code is
    /// registered and its id stored into `number`), the run's font, the fill.
    static int32_t styleIndexFrom(QVExcelManager& manager, QVExcelRunText& run,
                                  QVExcelNumber& number, int32_t fillID);

    /// The font index of a cell whose text has these properties.
    static int32_t collectCellFont(QVExcelManager& manager, const QVExcelRunTextProperty& rPr);
};
