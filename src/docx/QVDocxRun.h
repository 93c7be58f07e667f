#pragma once
// A piece of what a page of the document shows: text with its run properties
// and glyph geometry, or a floating object. The page collects runs, the layout
// groups them into lines and paragraphs, and each paragraph asks its runs to
// write themselves into document.xml.

#include "docx/QVDocxProperties.h"
#include "pdf/QVPDFPageGeometry.h"
#include "platform/Geometry.h"

#include <cstdint>

class QVDocxRunText;
class XMLFileWriter;

class QVDocxRun {
public:
    QVDocxRun();
    virtual ~QVDocxRun() = default;
    QVDocxRun(const QVDocxRun&) = delete;
    QVDocxRun& operator=(const QVDocxRun&) = delete;

    const QVDocx_RPr& rProperty() const { return rProperty_; }
    void setRProperty(QVDocx_RPr v) { rProperty_ = std::move(v); }
    const QVPDF_CTMInfo& ctmInfo() const { return ctmInfo_; }
    void setCtmInfo(const QVPDF_CTMInfo& v) { ctmInfo_ = v; }
    uint64_t drawIndex() const { return drawIndex_; }
    void setDrawIndex(uint64_t v) { drawIndex_ = v; }

    /// Display-space box (origin top-left, y downward); the zero rectangle
    /// for runs that do not say otherwise.
    virtual platform::Rect displayRect() const { return {}; }
    /// Writes the run into the open paragraph; the base writes nothing.
    virtual void writeWithXMLWriter(XMLFileWriter& /*writer*/) const {}

    /// This run as a text run, or none: the layout looks only at text runs.
    virtual QVDocxRunText* asRunText() { return nullptr; }
    const QVDocxRunText* asRunText() const {
        return const_cast<QVDocxRun*>(this)->asRunText();
    }

private:
    QVDocx_RPr rProperty_;
    QVPDF_CTMInfo ctmInfo_;
    uint64_t drawIndex_ = 0;
};
