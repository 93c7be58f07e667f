#pragma once
// A picture of the page: a floating VML picture of the built-in picture-frame
// type, placed in points from the page's top-left corner, whose image data
// points through a relationship at the medium of the package.

#include "converter/QVPDFImageCapture.h"
#include "docx/QVDocxRunPict.h"

#include <string>

/// Where the picture stands: the shared placement of a drawn image.
using QVDocxImageInfo = QVPDFImagePlacement;

class QVDocxRunImage : public QVDocxRunPict {
public:
    const std::string& runImageID() const { return runImageID_; }
    void setRunImageID(std::string v) { runImageID_ = std::move(v); }
    const std::string& runImageTitle() const { return runImageTitle_; }
    void setRunImageTitle(std::string v) { runImageTitle_ = std::move(v); }
    const QVDocxImageInfo& pictInfo() const { return pictInfo_; }
    void setPictInfo(QVDocxImageInfo v) { pictInfo_ = std::move(v); }

    /// The box the picture covers as the page shows it (turned included).
    platform::Rect displayRect() const override { return pictInfo_.coveredRect(); }
    void writeWithXMLWriter(XMLFileWriter& writer) const override;

private:
    void _writeImage2006(XMLFileWriter& writer) const;

    std::string runImageID_;
    std::string runImageTitle_;
    QVDocxImageInfo pictInfo_;
};
