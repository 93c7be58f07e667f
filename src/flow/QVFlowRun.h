#pragma once
// A piece of what a page of the flowing-text outputs shows, with its run
// properties and glyph geometry (display space: points, origin top-left, y
// downward). Every class of these outputs exists once per family (HTML, RTF,
// plain text); objects of one family only meet objects of the same family,
// and the paragraph skips runs of another family.

#include "docx/QVDocxProperties.h"
#include "pdf/QVPDFPageGeometry.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <memory>

class QVFlowFileWriter;
class QVFlowRunText;

enum class QVFlowFamily { HTML, RTF, Text };

class QVFlowRun {
public:
    explicit QVFlowRun(QVFlowFamily family);
    virtual ~QVFlowRun() = default;
    QVFlowRun(const QVFlowRun&) = delete;
    QVFlowRun& operator=(const QVFlowRun&) = delete;

    QVFlowFamily family() const { return family_; }

    /// A new base run of the same family with this one's draw index,
    /// properties and geometry.
    virtual std::shared_ptr<QVFlowRun> copyWithZone() const;

    const QVDocx_RPr& rProperty() const { return rProperty_; }
    void setRProperty(QVDocx_RPr v) { rProperty_ = std::move(v); }
    const QVPDF_CTMInfo& ctmInfo() const { return ctmInfo_; }
    void setCtmInfo(const QVPDF_CTMInfo& v) { ctmInfo_ = v; }
    uint64_t drawIndex() const { return drawIndex_; }
    void setDrawIndex(uint64_t v) { drawIndex_ = v; }

    /// The zero rectangle for a base run.
    virtual platform::Rect displayRect() const { return {}; }
    /// Writes the run in its family's format; a base run writes nothing.
    virtual void writeWithXMLWriter(QVFlowFileWriter& /*writer*/) const {}

    virtual QVFlowRunText* asRunText() { return nullptr; }
    const QVFlowRunText* asRunText() const { return const_cast<QVFlowRun*>(this)->asRunText(); }

protected:
    void copyBaseInto(QVFlowRun& other) const;

private:
    QVFlowFamily family_;
    QVDocx_RPr rProperty_;
    QVPDF_CTMInfo ctmInfo_;
    uint64_t drawIndex_ = 0;
};

/// The base runs of the three families.
class QVHTMLRun final : public QVFlowRun {
public:
    QVHTMLRun() : QVFlowRun(QVFlowFamily::HTML) {}
};
class QVRTFRun final : public QVFlowRun {
public:
    QVRTFRun() : QVFlowRun(QVFlowFamily::RTF) {}
};
class QVTextRun final : public QVFlowRun {
public:
    QVTextRun() : QVFlowRun(QVFlowFamily::Text) {}
};
