#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A norm table as the server sends it after "$Man_Norm=" / "$Girl_Norm=":
// rows separated by "<Str>", cells by "<Sc>"; cell 1 the group, 2 the
// physical-activity coefficient (КФА), 3 the age band, 4 the daily energy
// need in kcal. Keys are compared as exact text (1,4 and 1.4 differ).
class NormTable final
{
public:
    explicit NormTable(const QString& sNorm);

    // The table text was empty: there is no table at all.
    bool isEmpty() const { return m_empty; }
    // A non-empty text without a single row of five cells: the table cannot
    // be read. Shorter rows (such as the empty one a trailing separator gives)
    // are skipped rather than read past their end.
    bool isUnreadable() const { return !m_empty && m_rows.isEmpty(); }

    // The distinct coefficients in the order they first appear.
    QStringList kfaList() const;
    // The age bands of the rows with this coefficient, in table order,
    // duplicates kept.
    QStringList ageList(const QString& kfa) const;

    // The report's group caption: "Мужчины A (B), C лет (D ккал)" from the
    // first row matching the coefficient and age band; the sex word alone
    // when nothing matches.
    QString GetFullGroup(const QString& sexWord, const QString& kfa, const QString& age) const;
    // The energy need of the first matching row; 0 when no row matches or
    // its cell 4 is not a number (0 means: no need known).
    double GetFizEnergy(const QString& kfa, const QString& age) const;

    // "Мужчины " when men are ticked, "Женщины " when women are (winning when
    // both are), empty when neither.
    static QString sexWord(bool man, bool girl);

    static inline const QString UnreadableMessage =
        QStringLiteral("Ошибка загрузки главного массива физиологических норм!");

private:
    struct Row
    {
        QString group;
        QString kfa;
        QString age;
        QString energy;
    };
    const Row* findRow(const QString& kfa, const QString& age) const;

    QList<Row> m_rows;
    bool m_empty = true;
};
