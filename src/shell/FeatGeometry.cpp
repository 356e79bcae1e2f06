#include "shell/FeatGeometry.h"

#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

namespace FeatGeometry {

QRectF clientTwips()
{
    return QRectF(0, 0, 7335, 4575);
}

const Twips::Table& controls()
{
    static const Twips::Table table = {
        {u"Label1"_s, {120, 120, 870, 195}},    {u"tIP"_s, {1560, 120, 2415, 285}},
        {u"Label2"_s, {120, 480, 1095, 195}},   {u"tPort"_s, {1560, 480, 2415, 285}},
        {u"cLocal"_s, {4080, 120, 1335, 375}},  {u"cCon"_s, {2760, 840, 1215, 375}},
        {u"cDisCon"_s, {4080, 840, 1215, 375}}, {u"lSend"_s, {4680, 6360, 1335, 195}},
        {u"tCom"_s, {4680, 6600, 3615, 855}},   {u"cSend"_s, {7320, 7560, 975, 375}},
        {u"lStatus"_s, {0, 1320, 7215, 2775}},  {u"lFont"_s, {0, 4200, 1215, 195}},
        {u"tFont"_s, {1320, 4200, 1215, 285}},  {u"Label3"_s, {2640, 4200, 210, 195}},
    };
    return table;
}

QList<QRect> fitCaptions(QList<QRect> rects, const QList<int>& needed, int gap)
{
    QList<qsizetype> order(rects.size());
    std::iota(order.begin(), order.end(), 0);
    // Left to right, so a control pushed along pushes its own neighbours.
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return rects[a].left() < rects[b].left(); });
    for (qsizetype i = 0; i < order.size(); ++i) {
        QRect& grown = rects[order[i]];
        grown.setWidth(qMax(grown.width(), needed.value(order[i])));
        for (qsizetype j = i + 1; j < order.size(); ++j) {
            QRect& next = rects[order[j]];
            const bool sameRow = grown.top() <= next.bottom() && next.top() <= grown.bottom();
            const int overlap = grown.right() + 1 + gap - next.left();
            if (sameRow && next.left() >= grown.left() && overlap > 0)
                next.translate(overlap, 0);
        }
    }
    return rects;
}

} // namespace FeatGeometry
