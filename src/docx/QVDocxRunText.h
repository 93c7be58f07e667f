#pragma once
// A run of text: written as w:r with its full run properties and a w:t that
// keeps leading and trailing spaces.

#include "docx/QVDocxRun.h"

#include <string>

class QVDocxRunText : public QVDocxRun {
public:
    QVDocxRunText() = default;

    double spaceWidth() const { return spaceWidth_; }
    void setSpaceWidth(double v) { spaceWidth_ = v; }
    double textWidth() const { return textWidth_; }
    void setTextWidth(double v) { textWidth_ = v; }
    const std::u16string& runText() const { return runText_; }
    std::u16string& runText() { return runText_; }
    void setRunText(std::u16string v) { runText_ = std::move(v); }

    /// From the top-left corner of the first glyph: the text's width and the
    /// glyph's height.
    platform::Rect displayRect() const override;
    void writeWithXMLWriter(XMLFileWriter& writer) const override;
    QVDocxRunText* asRunText() override { return this; }

private:
    double spaceWidth_ = 0;
    double textWidth_ = 0;
    std::u16string runText_;
};
