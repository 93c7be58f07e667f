#pragma once
// A run of slide text: its characters, run properties and advance width.

#include "pptx/QVPPTXProperties.h"

#include <string>

class XMLFileWriter;

class QVPPTXRun {
public:
    QVPPTXRun();

    double textWidth() const { return textWidth_; }
    void setTextWidth(double v) { textWidth_ = v; }
    std::u16string& text() { return text_; }
    const std::u16string& text() const { return text_; }
    void setText(std::u16string v) { text_ = std::move(v); }
    const QVPPTX_RunPr& rProperty() const { return rProperty_; }
    void setRProperty(const QVPPTX_RunPr& v) { rProperty_ = v; }

    /// a:r with its a:rPr and a:t; the a prefix is bound by the slide.
    void writeRunWithXMLWriter(XMLFileWriter& writer) const;

private:
    double textWidth_ = 0;
    std::u16string text_;
    QVPPTX_RunPr rProperty_;
};
