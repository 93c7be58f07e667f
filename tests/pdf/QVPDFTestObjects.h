#pragma once
// PDF objects for unit tests: the sources are put into a one-page document
// (under the page's /Resources /Test /O<i>), written, reopened through the
// platform layer and handed back as that layer's objects, so they are read
// exactly as objects of a real file are.

#include "fixtures/PdfBuilder.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace testobjects {

struct Objects {
    std::unique_ptr<platform::PdfDocument> document;
    std::vector<platform::PdfObject> objects;
    const platform::PdfObject& operator[](size_t i) const { return objects.at(i); }
};

/// `sources` may refer to objects the builder already holds ("N 0 R").
inline Objects make(fixtures::PdfBuilder& builder, const std::vector<std::string>& sources) {
    std::string test = "<< ";
    for (size_t i = 0; i < sources.size(); ++i)
        test += "/O" + std::to_string(i) + " " + sources[i] + " ";
    test += ">>";
    fixtures::PageSpec page;
    page.resources = "<< /Test " + test + " >>";
    builder.addPage(page);
    Objects out;
    out.document = platform::PdfDocument::openFromMemory(builder.build(), "test objects");
    if (!out.document) {
        ADD_FAILURE() << "the test document does not open";
        return out;
    }
    platform::PdfObject resources =
        out.document->page(out.document->pageCount())->dictionary().get("Resources").get("Test");
    for (size_t i = 0; i < sources.size(); ++i)
        out.objects.push_back(resources.get("O" + std::to_string(i)));
    return out;
}

} // namespace testobjects
