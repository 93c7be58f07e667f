#pragma once
// Frame records of the floating text: a text box of vertical text and a
// piece of text drawn along a path (slanted or mirrored text). Display-space
// points, origin at the page's top-left corner, y downward. The flowing-text
// outputs fill the same records while they follow such text.

#include "docx/QVDocxProperties.h"
#include "pdf/colour/QVPDFColor.h"

#include <optional>
#include <string>
#include <vector>

struct QVPDFEdgeInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;
};

struct QVDocxTextBoxInfo {
    bool filled = false;
    bool stroked = false;
    std::optional<QVPDFRGB> fillcolor;
    std::optional<QVPDFRGB> strokecolor;
    double strokeweight = 0;
    std::optional<std::vector<double>> strokeDashPattern;
    double strokeDashPhase = 0;
    double displayWidth = 0;
    double displayHeight = 0;
    /// The anchor: the top-left corner of the box's first glyph.
    double displayX = 0;
    double displayY = 0;
    QVPDFEdgeInsets textBoxMargin;
    /// 90 or 270.
    double rotation = 0;
};

struct QVDocxTextPathInfo {
    bool filled = false;
    bool stroked = false;
    std::optional<QVPDFRGB> fillcolor;
    std::optional<QVPDFRGB> strokecolor;
    double strokeweight = 0;
    std::optional<std::vector<double>> strokeDashPattern;
    double strokeDashPhase = 0;
    double displayWidth = 0;
    double displayHeight = 0;
    double displayX = 0;
    double displayY = 0;
    QVPDFEdgeInsets textBoxMargin;
    /// Direction of the text, whole degrees clockwise.
    float rotation = 0;
    bool flipY = false;
    bool trim = false;
    bool fitpath = false;
    QVDocx_RPr rProperty;
};
