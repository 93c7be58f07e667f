#include "pptx/QVPPTXPage.h"

#include "platform/Files.h"
#include "platform/NumberFormat.h"
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

/// Writes a part under a temporary name beside `path` and renames it into place.
template <class Write> void writePartAtomically(const std::string& path, Write write) {
    const std::string temp = platform::siblingTemporaryPath(path);
    platform::RemoveOnExit guard(temp);
    {
        auto writer = XMLFileWriter::openForWriting(temp);
        writer->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
        write(*writer);
        writer->writeEndDocument();
    }
    std::string why;
    if (!platform::moveIntoPlace(temp, path, why))
        throw std::runtime_error(why);
    guard.release();
}
} // namespace

QVPPTXPage::QVPPTXPage(uint64_t pageNumber, std::string rootFolder) : pageNumber_(pageNumber) {
    const std::string n = platform::formatInteger(static_cast<long long>(pageNumber));
    slidePath_ = rootFolder + "/ppt/slides/slide" + n + ".xml";
    relsPath_ = rootFolder + "/ppt/slides/_rels/slide" + n + ".xml.rels";
}

void QVPPTXPage::begainWritePage(uint64_t) {
    sharepsArr_.clear();
    pageRelsArr_.clear();
    pageRelsArr_.push_back({kRelSlideLayout, "../slideLayouts/slideLayout1.xml"});
}

void QVPPTXPage::endWritePage(uint64_t) {
    for (const std::string& path : {slidePath_, relsPath_})
        if (!platform::createDirectories(platform::deletingLastPathComponent(path)))
            throw std::runtime_error("Could not create the folder of " + path);
    // The relationships first: a slide part never stands without them.
    writePartAtomically(relsPath_, [&](XMLFileWriter& w) { writeRels(w); });
    try {
        writePartAtomically(slidePath_, [&](XMLFileWriter& w) { writePage(w); });
    } catch (...) {
        platform::removeAll(relsPath_);
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
