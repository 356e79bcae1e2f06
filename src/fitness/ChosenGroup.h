#pragma once

#include <QObject>
#include <QString>

#include <optional>

// The population group the fitness window shows (sex, КФА, age band), for
// those who follow it: the ration window and the ration files. And the group
// a ration file asks for, which has to wait for the norm table of its sex: a
// change of sex asks for that table twice (the designed cross-click of the two
// boxes), and every table that arrives is shown from its first entries. So the
// file's group is kept until the last norm reply due has come, a table or
// "$No_Fiz_NormDB", and chosen again in every table that arrives meanwhile.
class ChosenGroup final : public QObject
{
    Q_OBJECT

public:
    struct Group
    {
        bool women = false;
        QString kfa;
        QString age;
    };

    ChosenGroup() = default;
    Q_DISABLE_COPY_MOVE(ChosenGroup)

    const Group& current() const { return m_current; }
    // What the fitness window shows now. changed() follows every time: the
    // same choice in a newly arrived table may carry another energy need.
    void setCurrent(const Group& group);

    // A ration file's group: requested() lets the fitness window choose it,
    // or ask for the norm table of its sex.
    void request(const Group& group);
    // The group to choose in a norm table that arrives now, if any.
    const std::optional<Group>& wanted() const { return m_wanted; }
    // A sex chosen by hand: no file's group is waited for any more.
    void dropWanted() { m_wanted.reset(); }

    // Every norm request sent, and every reply to one after it was shown.
    void normAsked() { ++m_due; }
    void normAnswered();

signals:
    void changed();
    void requested(const ChosenGroup::Group& group);

private:
    Group m_current;
    std::optional<Group> m_wanted;
    int m_due = 0;
};
