#include "pptx/QVPPTXPage.h"

#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "writer/QVDeflatedPartStore.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <stdexcept>

namespace {
const char* const kRelSlideLayout =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/slideLayout";
const char* const kRelImage =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";

std::string rId(size_t position) {
    return "rId" + platform::formatInteger(static_cast<long long>(position));
}

/// Writes a part into the store; raises when it cannot (the part is then not stored).
template <class Write>
void writePart(QVDeflatedPartStore& parts, const std::string& name, Write write) {
    auto output = parts.output(name);
    if (!output)
        throw std::runtime_error("Could not start the part " + name);
    auto writer = XMLFileWriter::initWithOutput(name, std::move(output));
    writer->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    write(*writer);
    writer->writeEndDocument();
}
} // namespace

QVPPTXPage::QVPPTXPage(uint64_t pageNumber, QVDeflatedPartStore& parts)
    : pageNumber_(pageNumber), parts_(parts) {
    const std::string n = platform::formatInteger(static_cast<long long>(pageNumber));
    slidePath_ = "ppt/slides/slide" + n + ".xml";
    relsPath_ = "ppt/slides/_rels/slide" + n + ".xml.rels";
}

void QVPPTXPage::begainWritePage(uint64_t) {
    sharepsArr_.clear();
    pageRelsArr_.clear();
    pageRelsArr_.push_back({kRelSlideLayout, "../slideLayouts/slideLayout1.xml"});
}

void QVPPTXPage::endWritePage(uint64_t) {
    const size_t mark = parts_.count();
    try {
        writePart(parts_, relsPath_, [&](XMLFileWriter& w) { writeRels(w); });
        writePart(parts_, slidePath_, [&](XMLFileWriter& w) { writePage(w); });
    } catch (...) {
        parts_.removeFrom(mark);
        throw;
    }
}

void QVPPTXPage::writePage(XMLFileWriter& w) {
    const auto p = QVOpenXMLNameSpace::nameSpace_p();
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    w.setPrefix(std::string("a"), std::string(a));
    w.setPrefix(std::string("r"), std::string(QVOpenXMLNameSpace::nameSpace_r()));
    w.setPrefix(std::string("p"), std::string(p));
    w.writeStartElementWithNamespace(p, "sld");
    w.writeStartElementWithNamespace(p, "cSld");
    w.writeStartElementWithNamespace(p, "spTree");

    w.writeStartElementWithNamespace(p, "nvGrpSpPr");
    w.writeStartElementWithNamespace(p, "cNvPr");
    w.writeAttribute("id", "1");
    w.writeAttribute("name", "");
    w.writeEndElement();
    w.writeStartElementWithNamespace(p, "cNvGrpSpPr");
    w.writeEndElement();
    w.writeStartElementWithNamespace(p, "nvPr");
    w.writeEndElement();
    w.writeEndElement();

    w.writeStartElementWithNamespace(p, "grpSpPr");
    w.writeStartElementWithNamespace(a, "xfrm");
    for (const char* name : {"off", "ext", "chOff", "chExt"}) {
        const bool size = name[0] == 'e' || name[2] == 'E';
        w.writeStartElementWithNamespace(a, name);
        w.writeAttribute(size ? "cx" : "x", "0");
        w.writeAttribute(size ? "cy" : "y", "0");
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();

    // The group is id 1; the shapes follow from 2 in drawing order.
    uint32_t id = 2;
    for (const auto& shape : sharepsArr_)
        shape->writeShapeWith(w, id++);

    w.writeEndElement(); // spTree
    w.writeEndElement(); // cSld
    w.writeStartElementWithNamespace(p, "clrMapOvr");
    w.writeStartElementWithNamespace(a, "masterClrMapping");
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement(); // sld
}

void QVPPTXPage::writeRels(XMLFileWriter& w) const {
    w.writeStartElement("Relationships");
    w.writeAttribute("xmlns", QVOpenXMLNameSpace::nameSpace_Rels());
    for (size_t k = 0; k < pageRelsArr_.size(); ++k) {
        w.writeStartElement("Relationship");
        w.writeAttribute("Id", rId(k + 1));
        w.writeAttribute("Type", pageRelsArr_[k].type);
        w.writeAttribute("Target", pageRelsArr_[k].target);
        w.writeEndElement();
    }
    w.writeEndElement();
}

std::optional<std::string>
QVPPTXPage::findExistRelsWithImagePath(const std::string& mediaPath) const {
    const std::string target = "../media/" + platform::lastPathComponent(mediaPath);
    for (size_t k = 0; k < pageRelsArr_.size(); ++k)
        if (pageRelsArr_[k].target == target)
            return rId(k + 1);
    return std::nullopt;
}

std::string QVPPTXPage::addNewRelsWithImagePath(const std::string& mediaPath) {
    pageRelsArr_.push_back({kRelImage, "../media/" + platform::lastPathComponent(mediaPath)});
    return rId(pageRelsArr_.size());
}

QVPPTXParagraph& QVPPTXPage::lastTextBoxParagraph() {
    if (cachedTextBoxParagraphs_.empty())
        cachedTextBoxParagraphs_.push_back(std::make_shared<QVPPTXParagraph>());
    return *cachedTextBoxParagraphs_.back();
}

QVPPTXParagraph& QVPPTXPage::newTextBoxParagraph() {
    auto paragraph = std::make_shared<QVPPTXParagraph>();
    paragraph->setPProperty(lastTextBoxParagraph().pProperty());
    cachedTextBoxParagraphs_.push_back(paragraph);
    return *paragraph;
}

double QVPPTXPage::maxTextBoxWidth() const {
    float widest = 0;
    for (const auto& paragraph : cachedTextBoxParagraphs_)
        widest = std::max(widest,
                          static_cast<float>(paragraph->pProperty().marL + paragraph->textWidth()));
    return widest;
}

double QVPPTXPage::totalTextBoxHeight() const {
    double sum = 0;
    for (const auto& paragraph : cachedTextBoxParagraphs_)
        sum += paragraph->pProperty().lnSpc;
    return sum;
}
