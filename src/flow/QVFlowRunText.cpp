#include "flow/QVFlowRunText.h"

#include "platform/NumberFormat.h"
#include "platform/text/Utf.h"

#include <cmath>
#include <cstdio>

void QVFlowRunText::copyTextInto(QVFlowRunText& other) const {
    // The base run's draw index and geometry are not carried: a copied run
    // text is a new piece of text with this one's look.
    other.setRProperty(rProperty());
    other.runText_ = runText_;
    other.textWidth_ = textWidth_;
    other.spaceWidth_ = spaceWidth_;
}

std::string QVFlowRunText::description() const {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    return std::string("<") + className() + ": " + address + ": " +
           platform::utf16ToUTF8(runText_) + " [" + platform::formatF(ctmInfo().topLeft.x) + ", " +
           platform::formatF(ctmInfo().topLeft.y) + "][" + platform::formatF(textWidth_) + "][" +
           platform::formatF(spaceWidth_) + "]>";
}

platform::Rect QVFlowRunText::displayRect() const {
    const QVPDF_CTMInfo& info = ctmInfo();
    return {{info.topLeft.x, info.topLeft.y},
            {textWidth_, std::fabs(info.bottomLeft.y - info.topLeft.y)}};
}
