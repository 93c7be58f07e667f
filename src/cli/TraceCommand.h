#pragma once
// `corvala trace FILE.pdf [-p PAGES]`: runs the content interpreter over the
// pages and prints every report, one JSON object per line (UTF-8), in report
// order. The format is stable; scripts and tests read it.
//
// Every line has "page" (1-based number) and "op": "text", "path" or "image".
// Coordinates are display-space points: origin at the top-left of the page as
// shown (after /Rotate and with the media box's corner at the origin), y down.
// Numbers are rounded to 1/1000; colours are six lowercase hex digits.
//
//   text:  "text" (decoded, UTF-8), "x" "y" (start of the baseline),
//          "width" (advance along the baseline), "rotation" (degrees 0..360,
//          clockwise as seen), "top" "bottom" (ascent and descent lines of the
//          upright glyph box), "size" (Tf size), "em" ([w, h], whole points),
//          "font" (name or null), "fill" (colour), "alpha" (fill alpha)
//   path:  "stroke", "fill" (booleans), "bbox" ([x0, y0, x1, y1] of the path's
//          points, line width not included), "evenodd", "lineWidth",
//          "strokeColor", "fillColor", "strokeAlpha", "fillAlpha",
//          "dash" (array or null), "clips" (number of clip paths in force)
//   image: "file" (path of the image file, or null)
//
// A page that fails prints {"page":N,"op":"error","message":"..."}.
// Exit status: 0 all pages traced, 1 a page failed or the file cannot be
// read, 2 usage error.

#include <ostream>
#include <string>
#include <vector>

/// `args` are the words after "trace".
int corvalaTrace(const std::vector<std::string>& args);
int corvalaTrace(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
