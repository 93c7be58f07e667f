#pragma once
// A text box of a slide and its frame record. The frame is the box before
// its rotation: DrawingML turns a shape about its centre, so the exporter
// places the unrotated frame such that its centre is the centre of the text
// as the page shows it.

#include "pptx/QVPPTXShape.h"

#include <memory>

/// Margins of a text box, points.
struct QVPPTXEdgeInsets {
    double top = 0, left = 0, bottom = 0, right = 0;
};

struct QVPPTXTextBoxInfo {
    int8_t filled = 0;
    int8_t stroked = 0;
    double strokeweight = 1.0;
    double displayWidth = 0;  ///< along the lines
    double displayHeight = 0; ///< across the lines
    double displayX = 0;      ///< left edge of the unrotated frame
    double displayY = 0;      ///< top edge of the unrotated frame
    QVPPTXEdgeInsets textBoxMargin;
    double rotation = 0; ///< clockwise, degrees
};

class QVPPTXTextbox : public QVPPTXShape {
public:
    QVPPTXTextbox() : QVPPTXShape(0) {}

    const std::shared_ptr<QVPPTXTextBoxInfo>& spInfo() const { return spInfo_; }
    void setSpInfo(std::shared_ptr<QVPPTXTextBoxInfo> v) { spInfo_ = std::move(v); }

protected:
    void write_nvSpPr(XMLFileWriter& writer, uint32_t shapeId) override;
    void write_spPr(XMLFileWriter& writer) override;
    void write_txBody(XMLFileWriter& writer) override;

private:
    std::shared_ptr<QVPPTXTextBoxInfo> spInfo_;
};
