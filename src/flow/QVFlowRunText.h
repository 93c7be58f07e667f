#pragma once
// A run of main text: the text of one string the page showed, with the width
// of its advance and of one space of its font (display-space points). Each
// family writes it its own way (QVHTMLRunText, QVRTFRunText, QVTextRunText).

#include "flow/QVFlowRun.h"

#include <limits>
#include <string>

class QVFlowRunText : public QVFlowRun {
public:
    /// A new run text of the same family, with its own copy of the text.
    virtual std::shared_ptr<QVFlowRunText> copyRunText() const = 0;
    std::shared_ptr<QVFlowRun> copyWithZone() const override { return copyRunText(); }

    /// "<Class: address: text [x, y][width][space]>".
    std::string description() const;

    double spaceWidth() const { return spaceWidth_; }
    void setSpaceWidth(double v) { spaceWidth_ = v; }
    double textWidth() const { return textWidth_; }
    void setTextWidth(double v) { textWidth_ = v; }
    const std::u16string& runText() const { return runText_; }
    std::u16string& runText() { return runText_; }
    void setRunText(std::u16string v) { runText_ = std::move(v); }

    /// The baseline and largest font size of the line the layout set this
    /// run in (NaN until then).
    double lineBaseline() const { return lineBaseline_; }
    double lineFontSize() const { return lineFontSize_; }
    void setLine(double baseline, double fontSize) {
        lineBaseline_ = baseline;
        lineFontSize_ = fontSize;
    }

    /// From the top-left corner: the text's width by the glyph box's height.
    platform::Rect displayRect() const override;
    QVFlowRunText* asRunText() override { return this; }

protected:
    explicit QVFlowRunText(QVFlowFamily family) : QVFlowRun(family) {}
    void copyTextInto(QVFlowRunText& other) const;
    virtual const char* className() const = 0;

private:
    double spaceWidth_ = 0;
    double textWidth_ = 0;
    std::u16string runText_;
    double lineBaseline_ = std::numeric_limits<double>::quiet_NaN();
    double lineFontSize_ = std::numeric_limits<double>::quiet_NaN();
};
