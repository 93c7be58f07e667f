#pragma once
// Pieces every VML shape of document.xml shares: document-unique shape ids,
// the definitions of the built-in shape types a shape refers to (written
// once per document, just before the first shape that uses them, since a
// reader draws nothing for a type it cannot find), and number texts.

#include "pdf/colour/QVPDFColor.h"

#include <optional>
#include <string>
#include <string_view>

class XMLFileWriter;

enum class QVDocxVMLShapeType : uint32_t {
    PictureFrame = 1, ///< "_x0000_t75": a picture
    TextBox = 2,      ///< "_x0000_t202": a text box
    TextPlain = 4,    ///< "_x0000_t136": text drawn along a path
};

class QVDocxVML {
public:
    QVDocxVML() = delete;

    /// "_x0000_s1025", "_x0000_s1026", ... through the document.
    static std::string nextShapeID();
    /// "#_x0000_t75" and so on: the value of a shape's `type`.
    static std::string typeReference(QVDocxVMLShapeType type);
    /// Writes the type's v:shapetype when the document has not had it yet.
    static void writeShapeTypeIfNeed(XMLFileWriter& w, QVDocxVMLShapeType type);

    /// "%0.2f" and "%0.0f" of the value (no locale).
    static std::string fixed2(double v);
    static std::string fixed0(double v);
    /// A fraction 0..1 in VML's fixed-point form: 65536 is one whole ("32768f").
    static std::string opacityText(double alpha);
    /// "#RRGGBB", upper case.
    static std::string colorString(const QVPDFRGB& c);
    /// Numbers as short as they read ("1.5", "3").
    static std::string shortNumber(double v);

    static std::string_view ns_w();
    static std::string_view ns_v();
    static std::string_view ns_o();
    static std::string_view ns_r();
    static std::string_view ns_w10();
};
