// How the RTF family's paragraph and run write themselves.
#include "flow/QVFlowFileWriter.h"
#include "flow/rtf/QVRTFParagraph.h"
#include "flow/rtf/QVRTFRunText.h"
#include "flow/rtf/QVRTFState.h"
#include "platform/NumberFormat.h"

#include <cmath>

void QVRTFParagraph::writeNewLineWithXMLWriter(QVFlowFileWriter& writer) {
    writer.write("\\par");
    writer.write("\\pard");
    float li = 20.0f * pProperty().ind.left - 20.0f * textMargin().left;
    if (!(li > 0) || !std::isfinite(li))
        li = 0;
    writer.write("\\li" + platform::formatFixed(li, 0));
    writer.write(" ");
}

std::shared_ptr<QVFlowRunText> QVRTFRunText::copyRunText() const {
    auto copy = std::make_shared<QVRTFRunText>();
    copyTextInto(*copy);
    return copy;
}

void QVRTFRunText::writeWithXMLWriter(QVFlowFileWriter& writer) const {
    const QVDocx_RPr& r = rProperty();
    QVRTFFontEntry font(r.rFonts.ascii, double(r.sz) * 2.0);
    font.setBold(r.b != 0);
    font.setItalic(r.i != 0);
    font.setUnderline(r.u);
    font.setKind(r.fontKind);
    QVRTFState& state = QVRTFState::sharedInstance();
    state.writeFontAttributesIfNeed(font, writer);
    const QVRTFColorEntry color(float(r.color.red) / 255.0f, float(r.color.green) / 255.0f,
                                float(r.color.blue) / 255.0f, 1.0);
    state.writeForegroundColorAttributesIfNeed(color, writer);
    writer.writeContent(runText());
}
