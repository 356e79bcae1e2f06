#pragma once

#include <QString>

// form_HS_Dish worked out without the window: given the composition text, the
// caller's flag and what the weight box holds now, the new text of the weight
// box and the composition line of lHS, or what went wrong.
class CompositionDisplay final
{
public:
    enum class Outcome
    {
        Shown,            // tOut() and lHS() hold the new texts
        NotLoaded,        // no composition: report NotLoadedMessage, change nothing
        LoadFailed,       // the composition cannot be loaded (see Composition::parse)
        WeightUnreadable, // the typed weight is not a number, or scales a figure past the
                          // finite range: no line can be shown
    };

    // `fromDispatcher` is true when a composition has just arrived: the
    // recipe's own weight is shown whatever the box holds. Otherwise a typed
    // weight, when there is one, scales the line.
    static CompositionDisplay form_HS_Dish(const QString& composition, bool fromDispatcher,
                                           const QString& tOutText);

    // "Белки-10,0г, Жиры-5,0г, Углеводы-50,0г, Калорийность-284ккал".
    static QString line(double protein, double fat, double carbohydrate, double kkal);

    Outcome outcome() const { return m_outcome; }
    const QString& tOut() const { return m_tOut; }
    const QString& lHS() const { return m_lHS; }

    static inline const QString NotLoadedMessage = QStringLiteral("Рецептура не загружена");

private:
    explicit CompositionDisplay(Outcome outcome) : m_outcome(outcome) {}

    Outcome m_outcome;
    QString m_tOut;
    QString m_lHS;
};
