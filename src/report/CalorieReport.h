#pragma once

#include <QDate>
#include <QString>

class ReportCanvas;
class ReportSource;

// The "Расчет калорийности" page: one row per dish of the ration with its
// weight, nutrients, kcal and share of the daily need, a bold totals row, a
// note and a footer, composed top to bottom in one pass.
class CalorieReport final
{
public:
    // `visitDate` is the date printed after "Дата посещения: ".
    explicit CalorieReport(const ReportSource& source, QDate visitDate = QDate::currentDate());
    Q_DISABLE_COPY_MOVE(CalorieReport)

    // Composes the whole page onto `PI`, reading the ration, the group, the
    // need and the enterprise name ("Name_POP") as it goes.
    void Form_Kkal(ReportCanvas& PI) const;

    // Breaks a dish name every 30 characters, regardless of words: each
    // continuation line starts with a carriage return and `lAbzac` spaces.
    static QString GetStr(QString sStr, int lAbzac);

    // The indent of the continuation lines of a dish name.
    static constexpr int kNameIndent = 24;

private:
    const ReportSource& m_source;
    QDate m_visitDate;
};
