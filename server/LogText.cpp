#include "server/LogText.h"

using namespace Qt::StringLiterals;

namespace LogText {

QString printable(const QString& text, qsizetype maxChars)
{
    const qsizetype kept = std::min(text.size(), maxChars);
    QString out;
    out.reserve(kept + 8);
    for (qsizetype i = 0; i < kept; ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
        case u'\\':
            out += u"\\\\"_s;
            break;
        case u'\r':
            out += u"\\r"_s;
            break;
        case u'\n':
            out += u"\\n"_s;
            break;
        case u'\t':
            out += u"\\t"_s;
            break;
        default:
            if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
                out += u"\\x%1"_s.arg(int(c), 2, 16, QChar(u'0'));
            else
                out += QChar(c);
        }
    }
    if (kept < text.size())
        out += u"..."_s;
    return out;
}

} // namespace LogText
