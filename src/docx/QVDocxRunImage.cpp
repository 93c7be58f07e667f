#include "docx/QVDocxRunImage.h"

#include "docx/QVDocxDrawCounters.h"
#include "docx/QVDocxUtilities.h"
#include "docx/QVDocxVML.h"
#include "platform/NumberFormat.h"
#include "writer/XMLFileWriter.h"

void QVDocxRunImage::writeWithXMLWriter(XMLFileWriter& w) const {
    w.writeStartElementWithNamespace(QVDocxVML::ns_w(), "r");
    QVDocxUtilities::WriteRProperty(rProperty(), w);
    _writeImage2006(w);
    w.writeEndElement();
}

void QVDocxRunImage::_writeImage2006(XMLFileWriter& w) const {
    const QVDocxImageInfo& info = pictInfo_;
    w.writeStartElementWithNamespace(QVDocxVML::ns_w(), "pict");
    QVDocxVML::writeShapeTypeIfNeed(w, QVDocxVMLShapeType::PictureFrame);
    w.writeStartElementWithNamespace(QVDocxVML::ns_v(), "shape");
    w.writeAttribute("id", QVDocxVML::nextShapeID());
    w.writeAttribute("type", QVDocxVML::typeReference(QVDocxVMLShapeType::PictureFrame));
    std::string style = "position:absolute;";
    style += "margin-left:" + QVDocxVML::fixed2(info.displayX) + "pt;";
    style += "margin-top:" + QVDocxVML::fixed2(info.displayY) + "pt;";
    style += "width:" + QVDocxVML::fixed2(info.displayWidth) + "pt;";
    style += "height:" + QVDocxVML::fixed2(info.displayHeight) + "pt;";
    if (info.rotation != 0)
        style += "rotation:" + QVDocxVML::fixed0(info.rotation) + ";";
    if (info.flipY)
        style += "flip:y;";
    style += "z-index:" + platform::formatInteger(static_cast<int32_t>(pictZIndex())) + ";";
    style += "mso-position-horizontal-relative:page;mso-position-vertical-relative:page";
    w.writeAttribute("style", style);
    w.writeStartElementWithNamespace(QVDocxVML::ns_v(), "imagedata");
    w.writeAttributeWithNamespace(QVDocxVML::ns_r(), "id", runImageID_);
    w.writeAttributeWithNamespace(QVDocxVML::ns_o(), "title",
                                  runImageTitle_.empty() ? "Untitled" : runImageTitle_);
    w.writeEndElement();
    if (info.opacity < 1.0f) {
        w.writeStartElementWithNamespace(QVDocxVML::ns_v(), "fill");
        w.writeAttribute("opacity", QVDocxVML::opacityText(info.opacity));
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
}
