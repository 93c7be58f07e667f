#include "docx/QVDocxRunTextBox.h"

#include "docx/QVDocxUtilities.h"
#include "docx/QVDocxVML.h"
#include "platform/NumberFormat.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <cmath>

namespace {

std::string zIndex(int64_t z) {
    return "z-index:" + platform::formatInteger(static_cast<int32_t>(z));
}

void wrapAnchoredToPage(XMLFileWriter& w) {
    w.writeStartElementWithNamespace(QVDocxVML::ns_w10(), "wrap");
    w.writeAttribute("anchorx", "page");
    w.writeAttribute("anchory", "page");
    w.writeEndElement();
}

} // namespace

platform::Rect QVDocxRunTextBox::displayRect() const {
    const QVDocxTextBoxInfo& f = pictInfo_;
    const double x = f.rotation == 90 ? f.displayX - f.displayWidth : f.displayX;
    const double y = f.rotation == 90 ? f.displayY : f.displayY - f.displayHeight;
    return {{x, y}, {f.displayWidth, f.displayHeight}};
}

void QVDocxRunTextBox::writeWithXMLWriter(XMLFileWriter& w) const {
    w.writeStartElementWithNamespace(QVDocxVML::ns_w(), "r");
    QVDocxUtilities::WriteRProperty(rProperty(), w);
    w.writeStartElementWithNamespace(QVDocxVML::ns_w(), "pict");
    _writeTextBox(w);
    w.writeEndElement();
    w.writeEndElement();
}

void QVDocxRunTextBox::_writeTextBox(XMLFileWriter& w) const {
    const QVDocxTextBoxInfo& f = pictInfo_;
    QVDocxVML::writeShapeTypeIfNeed(w, QVDocxVMLShapeType::TextBox);
    w.writeStartElementWithNamespace(QVDocxVML::ns_v(), "shape");
    w.writeAttribute("id", QVDocxVML::nextShapeID());
    w.writeAttribute("type", QVDocxVML::typeReference(QVDocxVMLShapeType::TextBox));
    const platform::Rect box = displayRect();
    std::string style = "position:absolute;left:0;text-align:left;";
    style += "margin-left:" + QVDocxVML::fixed0(box.origin.x) + "pt;";
    style += "margin-top:" + QVDocxVML::fixed0(box.origin.y) + "pt;";
    style += "width:" + QVDocxVML::fixed0(f.displayWidth) + "pt;";
    style += "height:" + QVDocxVML::fixed0(f.displayHeight) + "pt;";
    style += zIndex(pictZIndex()) + ";";
    style += "mso-wrap-style:square;";
    style += "mso-wrap-distance-left:" + QVDocxVML::fixed0(f.textBoxMargin.left) + "pt;";
    style += "mso-wrap-distance-top:" + QVDocxVML::fixed0(f.textBoxMargin.top) + "pt;";
    style += "mso-wrap-distance-right:" + QVDocxVML::fixed0(f.textBoxMargin.right) + "pt;";
    style += "mso-wrap-distance-bottom:" + QVDocxVML::fixed0(f.textBoxMargin.bottom) + "pt;";
    style += "mso-position-horizontal:absolute;mso-position-horizontal-relative:page;";
    style += "mso-position-vertical:absolute;mso-position-vertical-relative:page;";
    style += "v-text-anchor:top";
    w.writeAttribute("style", style);
    w.writeAttribute("filled", f.filled ? "t" : "f");
    if (f.filled && f.fillcolor)
        w.writeAttribute("fillcolor", QVDocxVML::colorString(*f.fillcolor));
    w.writeAttribute("stroked", f.stroked ? "t" : "f");
    if (f.stroked) {
        w.writeAttribute("strokeweight", QVDocxVML::fixed0(f.strokeweight) + "pt");
        if (f.strokecolor)
            w.writeAttribute("strokecolor", QVDocxVML::colorString(*f.strokecolor));
    }
    w.writeStartElementWithNamespace(QVDocxVML::ns_v(), "textbox");
    // Vertical flow alone turns the text clockwise with lines from right to
    // left; the bottom-to-top alternative turns it the other way.
    w.writeAttribute("style", f.rotation == 90
                                  ? "layout-flow:vertical"
                                  : "layout-flow:vertical;mso-layout-flow-alt:bottom-to-top");
    w.writeAttribute("inset", "0pt,0pt,0pt,0pt");
    w.writeStartElementWithNamespace(QVDocxVML::ns_w(), "txbxContent");
    for (const auto& p : paragraphArray_)
        p->writeWithXMLWriter(w);
    if (paragraphArray_.empty())
        QVDocxParagraph().writeWithXMLWriter(w);
    w.writeEndElement();
    w.writeEndElement();
    wrapAnchoredToPage(w);
    w.writeEndElement();
}

platform::Rect QVDocxRunTextPath::displayRect() const {
    const QVDocxTextPathInfo& f = pictInfo_;
    const double w = std::fabs(f.displayWidth), h = std::fabs(f.displayHeight);
    const double cx = f.displayX + w / 2, cy = f.displayY + h / 2;
    const double a = f.rotation * M_PI / 180.0;
    const double ex = std::fabs(std::cos(a)) * w / 2 + std::fabs(std::sin(a)) * h / 2;
    const double ey = std::fabs(std::sin(a)) * w / 2 + std::fabs(std::cos(a)) * h / 2;
    return {{cx - ex, cy - ey}, {2 * ex, 2 * ey}};
}

void QVDocxRunTextPath::writeWithXMLWriter(XMLFileWriter& w) const {
    w.writeStartElementWithNamespace(QVDocxVML::ns_w(), "r");
    QVDocxUtilities::WriteRProperty(rProperty(), w);
    w.writeStartElementWithNamespace(QVDocxVML::ns_w(), "pict");
    _writeTextPath(w);
    w.writeEndElement();
    w.writeEndElement();
}

void QVDocxRunTextPath::_writeTextPath(XMLFileWriter& w) const {
    const QVDocxTextPathInfo& f = pictInfo_;
    QVDocxVML::writeShapeTypeIfNeed(w, QVDocxVMLShapeType::TextPlain);
    w.writeStartElementWithNamespace(QVDocxVML::ns_v(), "shape");
    w.writeAttribute("id", QVDocxVML::nextShapeID());
    w.writeAttribute("type", QVDocxVML::typeReference(QVDocxVMLShapeType::TextPlain));
    std::string style = "position:absolute;left:0.00;text-align:left;";
    style += "margin-left:" + QVDocxVML::fixed2(f.displayX) + "pt;";
    style += "margin-top:" + QVDocxVML::fixed2(f.displayY) + "pt;";
    style += "width:" + QVDocxVML::fixed2(std::fabs(f.displayWidth)) + "pt;";
    style += "height:" + QVDocxVML::fixed2(std::fabs(f.displayHeight)) + "pt;";
    style += "mso-position-horizontal-relative:page;mso-position-vertical-relative:page;";
    if (f.rotation != 0)
        style += "rotation:" + QVDocxVML::fixed0(f.rotation) + ";";
    if (f.flipY)
        style += "flip:y;";
    style += zIndex(pictZIndex());
    w.writeAttribute("style", style);
    w.writeAttribute("filled", f.filled ? "t" : "f");
    if (f.filled && f.fillcolor)
        w.writeAttribute("fillcolor", QVDocxVML::colorString(*f.fillcolor));
    w.writeAttribute("stroked", f.stroked ? "t" : "f");
    if (f.stroked) {
        w.writeAttribute("strokeweight", QVDocxVML::fixed0(f.strokeweight) + "pt");
        if (f.strokecolor)
            w.writeAttribute("strokecolor", QVDocxVML::colorString(*f.strokecolor));
    }
    w.writeStartElementWithNamespace(QVDocxVML::ns_o(), "extrusion");
    w.writeAttributeWithNamespace(QVDocxVML::ns_v(), "ext", "view");
    w.writeAttribute("autorotationcenter", "t");
    w.writeEndElement();
    w.writeStartElementWithNamespace(QVDocxVML::ns_v(), "textpath");
    w.writeAttribute("on", "t");
    w.writeAttribute("fitshape", "t");
    w.writeAttribute("style", QVDocxUtilities::TextPathStyleForRProperty(rProperty()));
    w.writeAttribute("string", runText_);
    w.writeEndElement();
    wrapAnchoredToPage(w);
    w.writeEndElement();
}
