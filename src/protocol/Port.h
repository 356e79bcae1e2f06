#pragma once

#include <QStringView>

namespace Port {

// The recipe server's port unless the user names another.
inline constexpr quint16 kDefault = 400;

// The port a text names: a whole number from 1 to 65535 in ASCII digits only
// (no sign, no spaces, at most five digits, so "00400" is 400), or 0 when it
// names none. QString::toInt would also take a sign and other scripts' digits.
inline quint16 parse(QStringView text)
{
    if (text.isEmpty() || text.size() > 5)
        return 0;
    int port = 0;
    for (const QChar ch : text) {
        if (ch < u'0' || ch > u'9')
            return 0;
        port = port * 10 + (ch.unicode() - u'0');
    }
    return port <= 65535 ? quint16(port) : 0;
}

} // namespace Port
