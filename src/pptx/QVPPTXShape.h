#pragma once
// A shape of a slide: the base of text boxes, freeforms and pictures. The
// slide gives each shape its id (unique on the slide) and asks it, in drawing
// order, to write itself into the slide part's p:spTree.

#include "pptx/QVPPTXParagraph.h"
#include "pptx/QVPPTXProperties.h"

#include <cstdint>
#include <memory>
#include <vector>

class XMLFileWriter;

class QVPPTXShape {
public:
    /// 0 text box, 1 freeform, 2 picture.
    explicit QVPPTXShape(uint64_t spType);
    virtual ~QVPPTXShape() = default;
    QVPPTXShape(const QVPPTXShape&) = delete;
    QVPPTXShape& operator=(const QVPPTXShape&) = delete;

    /// Writes the shape (p:sp: non-visual, shape and style properties, text)
    /// with `shapeId` as its p:cNvPr id.
    virtual void writeShapeWith(XMLFileWriter& writer, uint32_t shapeId);

    uint64_t spType() const { return spType_; }
    std::vector<std::shared_ptr<QVPPTXParagraph>>& paragraphs() { return paragraphs_; }
    const std::vector<std::shared_ptr<QVPPTXParagraph>>& paragraphs() const { return paragraphs_; }
    const QVPPTX_TxBodyPr& bodyPr() const { return bodyPr_; }
    void setBodyPr(const QVPPTX_TxBodyPr& v) { bodyPr_ = v; }

protected:
    virtual void write_nvSpPr(XMLFileWriter&, uint32_t) {}
    virtual void write_spPr(XMLFileWriter&) {}
    virtual void write_style(XMLFileWriter&) {}
    virtual void write_txBody(XMLFileWriter&) {}

    /// The frame of a picture or text box (a:xfrm: the rotation, already in
    /// 60000ths of a degree, when not 0, the mirror flags, the offset and
    /// size in points) and its plain rectangle geometry (a:prstGeom).
    static void writeRectFrame(XMLFileWriter& writer, double rotation, bool flipH, bool flipV,
                               double x, double y, double width, double height);

private:
    uint64_t spType_;
    std::vector<std::shared_ptr<QVPPTXParagraph>> paragraphs_;
    QVPPTX_TxBodyPr bodyPr_;
};
