#pragma once

#include <QIcon>

// An icon together with a number that names it, so "the same icon again" can
// be told apart from "a new icon" without comparing pixels. The number is the
// icon's cache key: copies of one QIcon share it, a changed icon gets a new one,
// the null icon has 0.
class TrayIconHandle final
{
public:
    TrayIconHandle() = default;
    explicit TrayIconHandle(const QIcon& icon) : m_icon(icon), m_value(icon.cacheKey()) {}

    const QIcon& icon() const { return m_icon; }
    qint64 value() const { return m_value; }

    friend bool operator==(const TrayIconHandle& a, const TrayIconHandle& b)
    {
        return a.m_value == b.m_value;
    }

private:
    QIcon m_icon;
    qint64 m_value = 0;
};
