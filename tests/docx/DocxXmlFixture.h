#pragma once
// Writes WordprocessingML fragments with the real XML writer inside a w:body
// root (the w prefix bound as the document writer binds it) and parses them
// back with pugixml, so tests assert on the XML a reader sees.

#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <functional>
#include <string>
#include <vector>

namespace docxfixture {

/// The parsed root element holding what `body` wrote.
class WrittenXml {
public:
    explicit WrittenXml(const std::function<void(XMLFileWriter&)>& body) {
        const std::string path = fixtures::makeTestFolder("docxxml") + "/part.xml";
        {
            auto w = XMLFileWriter::initWithPath(path);
            EXPECT_TRUE(w);
            if (!w)
                return;
            w->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
            w->setPrefix("w", std::string(QVOpenXMLNameSpace::nameSpace_w()));
            w->writeStartElementWithNamespace(QVOpenXMLNameSpace::nameSpace_w(), "body");
            body(*w);
            w->writeEndDocument();
        }
        const auto result = doc_.load_file(path.c_str(), pugi::parse_default | pugi::parse_ws_pcdata);
        EXPECT_TRUE(result) << result.description();
    }
    pugi::xml_node root() const { return doc_.child("w:body"); }

private:
    pugi::xml_document doc_;
};

/// Names of the element's children, in order.
inline std::vector<std::string> childNames(pugi::xml_node node) {
    std::vector<std::string> names;
    for (pugi::xml_node c : node.children())
        if (c.type() == pugi::node_element)
            names.emplace_back(c.name());
    return names;
}

} // namespace docxfixture
