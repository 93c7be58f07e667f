#pragma once
// Base of the spreadsheet runs: a piece of a page placed in display space
// (points, origin top-left, y down) with its order of creation.

#include "pdf/QVPDFPageGeometry.h"
#include "platform/Geometry.h"

#include <cstdint>

class XMLFileWriter;

class QVExcelRun {
public:
    QVExcelRun() = default;
    virtual ~QVExcelRun() = default;
    QVExcelRun(const QVExcelRun&) = default;
    QVExcelRun& operator=(const QVExcelRun&) = default;

    const QVPDF_CTMInfo& ctmInfo() const { return ctmInfo_; }
    void setCtmInfo(const QVPDF_CTMInfo& v) { ctmInfo_ = v; }
    /// Order of creation within the document, from 0.
    uint64_t drawIndex() const { return drawIndex_; }
    void setDrawIndex(uint64_t v) { drawIndex_ = v; }

    /// The base has no box: the zero rectangle.
    virtual platform::Rect displayRect() const { return {}; }
    /// The base writes nothing.
    virtual void writeWithXMLWriter(XMLFileWriter&) const {}

private:
    QVPDF_CTMInfo ctmInfo_;
    uint64_t drawIndex_ = 0;
};
