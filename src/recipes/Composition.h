#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// One composition record as the server sends it after "$HSDishes=": a values
// row (protein, fat, carbohydrate fractions 1 and 2 in grams, perhaps more),
// "<Str>", an identity row (dish name, output weight text, perhaps more).
// Cells are separated by "<Sc>"; rows after the second are ignored.
class Composition final
{
public:
    // The record when it can be loaded: two rows, four numeric values whose
    // carbohydrate sum and energy are finite, and an output weight that reads
    // as a total above zero. Anything else would
    // divide by zero or show numbers made up from text, so it is refused.
    static std::optional<Composition> parse(const QString& text);

    // Cells of row 0 and row 1 exactly as received.
    const QStringList& values() const { return m_values; }
    const QStringList& identity() const { return m_identity; }

    double protein() const { return m_protein; }
    double fat() const { return m_fat; }
    double carb1() const { return m_carb1; }
    double carb2() const { return m_carb2; }

    QString dishName() const;
    // Identity cell 1, e.g. "150/50".
    QString weightText() const;
    // GetOutSum of weightText(); always above zero.
    double weight() const { return m_weight; }

    // The wording for a record that cannot be loaded.
    static inline const QString LoadFailedMessage = QStringLiteral("Ошибка загрузки рецептуры!");

private:
    Composition() = default;

    QStringList m_values;
    QStringList m_identity;
    double m_protein = 0;
    double m_fat = 0;
    double m_carb1 = 0;
    double m_carb2 = 0;
    double m_weight = 0;
};

// A weight text read as a total (GetOutSum) when it is a finite number above
// zero; nothing otherwise. The recipe's own weight passes through here before
// anything is divided by it.
std::optional<double> positiveWeight(const QString& text);
// A weight the user typed, read as a total: any finite number from zero up (0
// scales a dish to an all-zero entry); nothing for a negative or unreadable
// total or for no text at all.
std::optional<double> typedWeight(const QString& text);
