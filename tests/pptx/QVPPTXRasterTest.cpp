// Drawings made pictures: the pieces a drawing is cut into hold the pixels of
// the one picture of its whole box (to the rasteriser's rounding), and leave
// out its empty inside.
#include "pdf/content/QVPDFRenderState.h"
#include "pptx/QVPPTXUtilities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using platform::Path;
using platform::Point;

/// A closed polygon through `points`, in user space.
void polygon(Path& path, const std::vector<Point>& points) {
    path.moveTo(points[0]);
    for (size_t k = 1; k < points.size(); ++k)
        path.lineTo(points[k]);
    path.closeSubpath();
}

/// A rectangle's outline as `n` points a side.
std::vector<Point> rectangle(double x0, double y0, double x1, double y1, int n) {
    std::vector<Point> out;
    for (int k = 0; k < n; ++k)
        out.push_back({x0 + (x1 - x0) * k / n, y0});
    for (int k = 0; k < n; ++k)
        out.push_back({x1, y0 + (y1 - y0) * k / n});
    for (int k = 0; k < n; ++k)
        out.push_back({x1 - (x1 - x0) * k / n, y1});
    for (int k = 0; k < n; ++k)
        out.push_back({x0, y1 - (y1 - y0) * k / n});
    return out;
}

struct Drawing {
    const char* name;
    Path path;
    bool stroke, fill, evenOdd;
    double lineWidth;
    std::vector<std::pair<Path, bool>> clips;
    double mostOfBox; // the pieces' pixels, at most this share of the whole box's
    size_t fewestPieces;
};

TEST(QVPPTXRaster, PiecesHoldExactlyThePixelsOfTheWholePicture) {
    std::vector<Drawing> drawings;
    {
        Drawing d{"stroked frame", {}, true, false, false, 2, {}, 0.2, 4};
        polygon(d.path, rectangle(30, 30, 580, 760, 10));
        drawings.push_back(std::move(d));
    }
    {
        Drawing d{"even-odd ring", {}, false, true, true, 1, {}, 0.2, 4};
        polygon(d.path, rectangle(40, 40, 570, 750, 8));
        polygon(d.path, rectangle(43, 43, 567, 747, 8));
        drawings.push_back(std::move(d));
    }
    {
        Drawing d{"diagonal polyline", {}, true, false, false, 1.5, {}, 0.5, 2};
        std::vector<Point> line;
        for (int k = 0; k < 40; ++k)
            line.push_back({50.0 + 12 * k, 60.0 + 17 * k + (k % 2) * 3});
        d.path.moveTo(line[0]);
        for (size_t k = 1; k < line.size(); ++k)
            d.path.lineTo(line[k]);
        drawings.push_back(std::move(d));
    }
    {
        Drawing d{"filled disc: one piece", {}, false, true, false, 1, {}, 1.0, 1};
        std::vector<Point> disc;
        for (int k = 0; k < 40; ++k)
            disc.push_back({300 + 120 * std::cos(k * 0.157), 400 + 120 * std::sin(k * 0.157)});
        polygon(d.path, disc);
        drawings.push_back(std::move(d));
    }
    {
        // The clip lets through the frame's left half: cut there too.
        Drawing d{"clipped frame", {}, true, true, true, 3, {}, 0.35, 2};
        polygon(d.path, rectangle(30, 30, 580, 760, 10));
        polygon(d.path, rectangle(36, 36, 574, 754, 10));
        Path clip;
        polygon(clip, {{0, 0}, {300, 0}, {300, 792}, {0, 792}});
        d.clips.emplace_back(std::move(clip), false);
        drawings.push_back(std::move(d));
    }
    for (const Drawing& d : drawings) {
        SCOPED_TRACE(d.name);
        QVPDFRenderState state;
        state.setLineWidth(d.lineWidth);
        // Display space as a page of 792 points shows it.
        const platform::AffineTransform toDisplay{1, 0, 0, -1, 0, 792};
        std::vector<std::pair<Path, bool>> clips;
        for (const auto& [clip, evenOdd] : d.clips)
            clips.emplace_back(clip.transformed(toDisplay), evenOdd);
        platform::Rect wholeBox;
        auto whole = QVPPTXUtilities::makeCGPathToUIImage(d.path, state, toDisplay, d.stroke,
                                                          d.fill, d.evenOdd, wholeBox, clips);
        ASSERT_TRUE(whole && whole->isValid());
        double budget = 1e9;
        auto pieces = QVPPTXUtilities::makeCGPathToPictures(d.path, state, toDisplay, d.stroke,
                                                            d.fill, d.evenOdd, clips, budget);
        ASSERT_GE(pieces.size(), d.fewestPieces);
        const double scale = QVPPTXUtilities::kRasterScale;
        std::vector<int> owner(size_t(whole->width) * size_t(whole->height), -1);
        double pixels = 0;
        for (size_t p = 0; p < pieces.size(); ++p) {
            const auto& piece = pieces[p];
            const int ox = int(std::lround((piece.box.origin.x - wholeBox.origin.x) * scale));
            const int oy = int(std::lround((piece.box.origin.y - wholeBox.origin.y) * scale));
            ASSERT_EQ(piece.image.format, platform::RasterImage::Format::RGBA);
            EXPECT_NEAR(piece.box.size.width * scale, piece.image.width, 1e-6);
            ASSERT_GE(ox, 0);
            ASSERT_GE(oy, 0);
            ASSERT_LE(ox + piece.image.width, whole->width);
            ASSERT_LE(oy + piece.image.height, whole->height);
            pixels += double(piece.image.width) * piece.image.height;
            int differing = 0, worst = 0;
            for (int y = 0; y < piece.image.height; ++y)
                for (int x = 0; x < piece.image.width; ++x) {
                    int& o = owner[size_t(oy + y) * size_t(whole->width) + size_t(ox + x)];
                    EXPECT_EQ(o, -1) << "pieces overlap";
                    o = int(p);
                    const uint8_t* a = piece.image.row(y) + 4 * x;
                    const uint8_t* b = whole->row(oy + y) + 4 * (ox + x);
                    differing += std::abs(int(a[3]) - int(b[3])) > 1;
                    worst = std::max(worst, std::abs(int(a[3]) - int(b[3])));
                }
            // The rasteriser may round an edge pixel a few levels apart when
            // the line is drawn into another piece of the grid.
            EXPECT_LE(worst, 8);
            EXPECT_LE(differing, piece.image.width * piece.image.height / 1000 + 4);
        }
        // Every painted pixel of the whole picture is in a piece.
        int missed = 0;
        for (int y = 0; y < whole->height; ++y)
            for (int x = 0; x < whole->width; ++x)
                missed += whole->row(y)[4 * x + 3] != 0 &&
                          owner[size_t(y) * size_t(whole->width) + size_t(x)] < 0;
        EXPECT_EQ(missed, 0);
        EXPECT_LE(pixels, d.mostOfBox * double(whole->width) * whole->height);
        EXPECT_DOUBLE_EQ(budget, 1e9 - pixels);
    }
}

TEST(QVPPTXRaster, APagesDrawingsShareItsPixelBudget) {
    QVPDFRenderState state;
    Path disc;
    std::vector<Point> points;
    for (int k = 0; k < 40; ++k)
        points.push_back({300 + 200 * std::cos(k * 0.157), 400 + 200 * std::sin(k * 0.157)});
    polygon(disc, points);
    const platform::AffineTransform toDisplay{1, 0, 0, -1, 0, 792};
    struct Case {
        double budget;
        double lowest, highest; // pixels per point the picture may get
    } cases[] = {{1e9, 3.0, 3.0},
                 {402.0 * 402 * 4, 1.8, 2.4}, // about the budget's worth
                 {0, 1.0, 1.0},               // used up: one pixel per point
                 {-5e6, 1.0, 1.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.budget);
        double budget = c.budget;
        auto pieces =
            QVPPTXUtilities::makeCGPathToPictures(disc, state, toDisplay, false, true, false, {}, budget);
        ASSERT_EQ(pieces.size(), 1u);
        const double scale = pieces[0].image.width / pieces[0].box.size.width;
        EXPECT_GE(scale, c.lowest - 0.01);
        EXPECT_LE(scale, c.highest + 0.01);
        const double pixels = double(pieces[0].image.width) * pieces[0].image.height;
        if (c.budget > 0 && c.budget < 1e9) {
            EXPECT_LE(pixels, c.budget * 1.25); // the grid's cells round it up
        }
        EXPECT_DOUBLE_EQ(budget, c.budget - pixels);
    }
}

} // namespace
