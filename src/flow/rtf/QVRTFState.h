#pragma once
// The process-wide character state of the RTF output: the formatting written
// last, and the document's font and colour tables, which runs fill as they
// are written. Reset when an RTF document begins; only one conversion runs
// at a time, so it has no lock.
//
// Font entry 0 is "Arial Unicode MS", colour entry 0 black; each font name
// and each colour appears once; the tables only grow.

#include "flow/rtf/QVRTFColorEntry.h"
#include "flow/rtf/QVRTFFontEntry.h"
#include "flow/rtf/QVRTFUtilities.h"

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

class QVFlowFileWriter;

class QVRTFState {
public:
    static QVRTFState& sharedInstance();

    void resetToDefault();
    /// "{\fonttbl" entries "}\n" / "{\colortbl" entries "}\n".
    void writeRegistedFonts(QVFlowFileWriter& writer) const;
    void writeRegistedColors(QVFlowFileWriter& writer) const;

    int64_t _colorIndexByColor(const QVRTFColorEntry& color);
    int64_t _fontIndexByFont(const QVRTFFontEntry& font);
    void writeForegroundColorAttributesIfNeed(const QVRTFColorEntry& color,
                                              QVFlowFileWriter& writer);
    void writeBackgroundColorAttributesIfNeed(const QVRTFColorEntry& color,
                                              QVFlowFileWriter& writer);
    void writeFontSizeAttributesIfNeed(double size, QVFlowFileWriter& writer);
    /// The font, italic, bold, underline and size words that changed, then one blank.
    void writeFontAttributesIfNeed(const QVRTFFontEntry& font, QVFlowFileWriter& writer);

    const QVRTF_State& state() const { return state_; }
    void setState(const QVRTF_State& v) { state_ = v; }
    const std::vector<QVRTFFontEntry>& registeredFonts() const { return _registeredFonts; }
    const std::vector<QVRTFColorEntry>& registeredColors() const { return _registeredColors; }

private:
    QVRTFState() { resetToDefault(); }

    QVRTF_State state_;
    std::vector<QVRTFColorEntry> _registeredColors;
    std::vector<QVRTFFontEntry> _registeredFonts;
    // Indexes by name and by colour, so that many fonts or colours in a
    // document do not make every run search the whole table.
    std::map<std::string, int64_t> fontIndex_;
    std::map<std::tuple<double, double, double>, int64_t> colorIndex_;
};
