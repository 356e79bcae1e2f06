#pragma once

#include <QList>
#include <QString>

class ReportSource;

// The ration as the report tabulates it: one row of texts per dish and a
// totals row, in the report's number formats. The report page, the ration
// window and the spreadsheet export all show these same figures.
class RationTable final
{
public:
    struct Row
    {
        QString number; // "1", "2", ...; empty in the totals row
        QString name;   // dish name unbroken; "Итого:" in the totals row
        QString weight; // as typed; empty in the totals row
        QString protein;
        QString fat;
        QString carb; // both fractions
        QString kkal;
        QString share; // "13%", or empty when no need is known
    };

    // Reads the ration, the group and the need once. An empty ration gives no
    // rows and a totals row of zeros.
    static RationTable from(const ReportSource& source);

    QList<Row> rows;
    Row totals;
    QString group;
    double need = 0;

    // "13%"-style share of the need, or nothing when no need is known (no
    // norm table, no matching group, an unreadable cell): never a division by 0.
    static QString share(double kkal, double need);
    // Energy of the whole ration from the nutrient totals, which may differ
    // from the sum of the rounded row energies.
    static double totalKkal(double protein, double fat, double carb1, double carb2);
};
