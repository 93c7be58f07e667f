#pragma once
// A picture of a slide: an image part of the package (by the slide's
// relationship id) placed by its geometry record.

#include "pptx/QVPPTXImageInfo.h"
#include "pptx/QVPPTXShape.h"

#include <memory>
#include <string>

class QVPPTXPicture : public QVPPTXShape {
public:
    QVPPTXPicture() : QVPPTXShape(2) {}

    /// p:pic: non-visual picture properties, the image fill, the frame.
    void writeShapeWith(XMLFileWriter& writer, uint32_t shapeId) override;

    const std::string& runImageID() const { return runImageID_; }
    void setRunImageID(std::string v) { runImageID_ = std::move(v); }
    const std::shared_ptr<QVPPTXImageInfo>& pictInfo() const { return pictInfo_; }
    void setPictInfo(std::shared_ptr<QVPPTXImageInfo> v) { pictInfo_ = std::move(v); }

protected:
    void write_spPr(XMLFileWriter& writer) override;

private:
    void write_nvPicPr(XMLFileWriter& writer, uint32_t shapeId);
    void write_blipFill(XMLFileWriter& writer);

    std::string runImageID_;
    std::shared_ptr<QVPPTXImageInfo> pictInfo_;
};
