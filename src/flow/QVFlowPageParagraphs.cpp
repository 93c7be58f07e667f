// The second half of the page layout: divs, columns and rows become
// paragraphs with line heights, indents, blank paragraphs for vertical
// space, merged rows, column breaks and section records.
#include "flow/QVFlowPage.h"

#include "docx/QVDocxUtilities.h"

namespace {

QVFlowParagraph::RunArray runsOf(const QVFlowPage::LinePart& part) {
    return {part.begin(), part.end()};
}

void appendAll(QVFlowPage::ParagraphArray& to, QVFlowPage::ParagraphArray&& from) {
    for (auto& p : from)
        to.push_back(std::move(p));
}

} // namespace

void QVFlowPage::_buildParagraphs(std::vector<Div> divs) {
    const QVDocx_PPr defaultP = QVDocxUtilities::defaultPProperty();
    ParagraphArray pageList;
    float L = defaultP.spacing.line;
    float I = defaultP.ind.left;
    QVDocx_RPr R = QVDocxUtilities::defaultRProperty();
    double previousBottom = 0;

    for (size_t d = 0; d < divs.size(); ++d) {
        Div& div = divs[d];
        double top = _minTopYOfDivArray(div);
        double space = 0;
        if (d == 0) {
            // The page's top margin is at most an inch; more becomes blank lines.
            float topMargin;
            if (top > 72.0) {
                topMargin = 72.0f;
                space = top - 72.0;
            } else {
                topMargin = float(top);
            }
            sectProperty_.pgMar = {topMargin, 0, 0, 0, 0, 0, 0};
        } else {
            space = top - previousBottom;
        }
        previousBottom = _maxBottomYOfDivArray(div);

        QVDocx_SectPr S = QVDocxUtilities::defaultSectProperty();
        S.write = 0;
        S.type = 1;
        S.pgMar = sectProperty_.pgMar;
        S.pgSz = sectProperty_.pgSz;

        if (space > L)
            appendAll(pageList, QVFlowParagraph::BankParagraph(family_, space, L, I, R, S));
        else if (space > 0)
            top -= space; // the first rows measure their gap from the div above

        if (!pageList.empty() && div.size() != 1) {
            QVFlowParagraph* P = pageList.back().get();
            if (P->runArray().empty()) {
                std::unique_ptr<QVFlowParagraph> carrier = QVFlowParagraph::make(family_);
                carrier->setRProperty(P->rProperty());
                carrier->setPProperty(P->pProperty());
                carrier->setSectProperty(P->sectProperty());
                P = carrier.get();
                pageList.push_back(std::move(carrier));
            }
            QVDocx_SectPr ends = P->sectProperty();
            ends.write = 1;
            ends.type = 1;
            P->setSectProperty(std::move(ends));
        }

        const size_t n = div.size();
        if (n >= 2) {
            S.cols.num = int32_t(n);
            S.cols.sep = 0;
            S.cols.space = 0;
            S.cols.equalWidth = 0;
            S.cols.col.clear();
            for (size_t j = 0; j < n; ++j) {
                const double x0 = j == 0 ? 0.0 : _minLeftXOfColumnArray(div[j]);
                const double x1 =
                    j + 1 == n ? double(S.pgSz.w) : _minLeftXOfColumnArray(div[j + 1]);
                S.cols.col.push_back({0.0f, float(x1 - x0)});
            }
        } else {
            S.cols.num = 1;
            S.cols.sep = 0;
            S.cols.space = 0;
            S.cols.equalWidth = 720.0f;
            S.cols.col.clear();
        }

        for (size_t c = 0; c < n; ++c) {
            ColumnSect rows;
            Column& column = div[c];
            for (size_t first = 0; first < column.size();) {
                Row row = _rowAt(column, first);
                first += row.size();
                rows.push_back(std::move(row));
            }

            const double position = c == 0 ? 0.0 : _minLeftXOfColumnSectArray(rows);
            double columnBottom = top;
            ParagraphArray C;
            for (Row& row : rows) {
                const LinePart& F = row.front();
                const double bottomF = _maxBottomYOfLinePartArray(F);
                const double gap = bottomF - columnBottom;
                columnBottom = bottomF;

                std::unique_ptr<QVFlowParagraph> p =
                    QVFlowParagraph::initWithRunArray(family_, runsOf(F));
                p->setSectProperty(S);
                p->setXColumnPosition(position);
                p->resolveColumnProperty();
                L = p->pProperty().spacing.line;
                I = p->pProperty().ind.left;
                R = p->rProperty();
                const double dd = gap - L;

                QVFlowParagraph* target = p.get();
                if (dd > L) {
                    appendAll(C, QVFlowParagraph::BankParagraph(family_, dd, L, I, R, S));
                    C.push_back(std::move(p));
                } else if (dd > -8.0 && dd <= L) {
                    QVDocx_PPr pPr = p->pProperty();
                    pPr.spacing.line = float(double(L) + dd);
                    L = pPr.spacing.line;
                    p->setPProperty(std::move(pPr));
                    C.push_back(std::move(p));
                } else if (dd <= -8.0 && dd >= -L && !C.empty()) {
                    // Too close to the row above: it continues that paragraph.
                    target = C.back().get();
                    // A row that goes on to the right of it after a gap (the
                    // next words of a line set stepping down, as an OCR layer
                    // of a skewed scan is) is the next word, not the same one.
                    QVFlowRunText* t = target->runArray().empty()
                                           ? nullptr
                                           : target->runArray().back()->asRunText();
                    if (t && !t->runText().empty() && t->runText().back() != u' ') {
                        const double g = _leftXOfLinePartArray(F) -
                                         (t->ctmInfo().bottomLeft.x + t->textWidth());
                        if (g > t->ctmInfo().fontSize.width / 10.0) {
                            t->runText().push_back(u' ');
                            t->setTextWidth(t->textWidth() + g);
                        }
                    }
                    for (auto& run : p->runArray())
                        target->runArray().push_back(run);
                } else {
                    // The first row of a column, or a row whose bottom lies
                    // above the row before it: a paragraph of its own.
                    C.push_back(std::move(p));
                }

                double right = _rightXOfLinePartArray(F);
                for (size_t q = 1; q < row.size(); ++q) {
                    const LinePart& Q = row[q];
                    const double g = _leftXOfLinePartArray(Q) - right;
                    if (QVFlowRunText* t = target->runArray().empty()
                                               ? nullptr
                                               : target->runArray().back()->asRunText();
                        t && g > t->ctmInfo().fontSize.width / 10.0) {
                        t->runText().push_back(u' ');
                        t->setTextWidth(t->textWidth() + g);
                    }
                    right = _rightXOfLinePartArray(Q);
                    for (const RunPtr& run : Q)
                        target->runArray().push_back(run);
                }
            }
            if (!C.empty()) {
                if (c != 0)
                    C.front()->setBreakColumn(true);
                appendAll(pageList, std::move(C));
            }
        }

        if (pageList.size() > 1) {
            QVDocx_SectPr ends = pageList.back()->sectProperty();
            ends.write = 1;
            ends.type = 1;
            pageList.back()->setSectProperty(std::move(ends));
        }
    }
    appendAll(paragraphArray_, std::move(pageList));
}
