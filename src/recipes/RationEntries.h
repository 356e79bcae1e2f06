#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The ration: entries numbered from 1, at most 25, each a composition record
// of exactly two rows already scaled to the weight chosen for that dish. The
// empty ration is a single entry 1 holding the empty text. The fitness
// window's add and clear-all commands and the ration window's edits change it;
// the report reads it through the accessors. Both windows follow changed().
class RationEntries final : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxEntries = 25;

    // The wording for a weight an add cannot take.
    static inline const QString WeightRefusedMessage =
        QStringLiteral("Неверно указан выход блюда: нужно число не меньше нуля, например 200 или 150/50.");
    // An entry changed in place must stay above 0: an entry at 0 has lost the
    // values it would be rescaled from.
    static inline const QString EditWeightRefusedMessage =
        QStringLiteral("Неверно указан выход блюда: нужно число больше нуля, например 200 или 150/50.");

    enum class AddResult
    {
        Added,
        NoRecipe,         // no composition loaded
        Full,             // already MaxEntries dishes
        RecipeUnreadable, // the loaded composition cannot be scaled
        WeightUnreadable, // the typed weight is not a total of zero or more
    };

    RationEntries() = default;
    Q_DISABLE_COPY_MOVE(RationEntries)

    // Back to the empty ration.
    void reset();

    // The highest entry index: 1 for the empty ration.
    int upperBound() const { return int(m_entries.size()); }
    // True for the empty ration (upper bound 1, entry 1 empty).
    bool isEmpty() const { return m_entries.size() == 1 && m_entries.first().isEmpty(); }
    // Entry i (1-based) as stored; the empty text outside 1..upperBound().
    QString entry(int i) const;

    // Adds the composition `currentHS` scaled to `weightText` (as typed in the
    // weight box). Every numeric value is multiplied by the typed total, then
    // divided by the recipe's own total, and written in its shortest form;
    // other cells are carried unchanged, and the weight cell becomes the typed
    // text. Anything but Added leaves the ration exactly as it was.
    AddResult add(const QString& currentHS, const QString& weightText);

    // The entry scaled as add() stores it, or the empty text when it cannot be.
    static QString scaledEntry(const QString& currentHS, const QString& weightText);

    // Number of dishes: 0 for the empty ration.
    int count() const { return isEmpty() ? 0 : upperBound(); }

    // Drops the entries with the given indices (1-based; others are ignored).
    // Dropping the last one leaves the empty ration.
    void remove(QList<int> indices);
    // Swaps entry i with its neighbour i + step (step -1 or +1); false when
    // either is outside the ration.
    bool move(int i, int step);
    // Rescales entry i to a new weight in proportion, exactly as add() scales
    // a recipe to the typed weight. WeightUnreadable (the new weight is not a
    // total above zero) and RecipeUnreadable (the entry's own weight cannot be
    // scaled from) leave the entry as it was.
    AddResult setWeight(int i, const QString& weightText);
    // Replaces the whole ration, e.g. from a ration file. More than
    // MaxEntries, or an empty entry, is refused (false) and changes nothing.
    bool replace(const QStringList& entries);
    // The entries as stored, without the empty placeholder.
    QStringList entries() const { return isEmpty() ? QStringList() : m_entries; }

    // Readers for the report. An index above the upper bound, below 1, or of
    // an empty entry gives the default: "" for the name, "0" for the weight,
    // 0 for the numbers. A value cell that does not read as a number gives 0.
    QString GetDishName(int i) const;
    QString GetDishWeight(int i) const;
    double GetDishProtein(int i) const;
    double GetDishFat(int i) const;
    double GetDishCarb1(int i) const;
    double GetDishCarb2(int i) const;
    // Energy of the entry rounded to a whole number (CalcKkal with rounding).
    double GetDishKkal(int i) const;

signals:
    // After every change of an entry, of the order or of the count; never for
    // a refused change.
    void changed();

private:
    // Row `row` of entry i split into cells; empty for the default cases.
    QStringList cells(int i, int row) const;
    double valueCell(int i, int cell) const;

    QStringList m_entries{QString()};
};
