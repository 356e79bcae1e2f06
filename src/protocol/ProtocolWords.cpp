#include "protocol/ProtocolWords.h"

#include <iterator>

namespace Proto {

namespace {

constexpr char16_t asciiUpper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c;
}

struct ReplyWord
{
    Reply reply;
    const QString* word;
};

constexpr ReplyWord kReplyWords[] = {
    {Reply::Mess, &Mess},
    {Reply::BB, &BB},
    {Reply::HSDishes, &HSDishes},
    {Reply::Dishes, &Dishes},
    {Reply::No_Fiz_NormDB, &No_Fiz_NormDB},
    {Reply::Man_Norm, &Man_Norm},
    {Reply::Girl_Norm, &Girl_Norm},
};

// wordOf reads the table by the reply's number.
static_assert([] {
    for (std::size_t i = 0; i < std::size(kReplyWords); ++i)
        if (kReplyWords[i].reply != Reply(i))
            return false;
    return true;
}());

} // namespace

bool startsWithWord(const QString& message, const QString& word)
{
    if (message.size() < word.size())
        return false;
    // Every word is ASCII. Then comparing letter by letter is the same as
    // comparing the upper-cased prefix: a letter whose upper case is more
    // than one letter never upper-cases to ASCII alone. It saves two texts
    // per word tried on every message.
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar w = word.at(i);
        if (w.unicode() >= 0x80)
            return message.first(word.size()).toUpper() == word.toUpper();
        const char16_t m = message.at(i).unicode();
        if (m < 0x80 ? asciiUpper(m) != asciiUpper(w.unicode())
                     : QChar(m).toUpper() != QChar(asciiUpper(w.unicode())))
            return false;
    }
    return true;
}

bool isWholeWord(const QString& message, const QString& word)
{
    // Upper case never shortens a text, so a longer message cannot match and
    // a long payload is not copied to find that out.
    if (message.size() > word.size())
        return false;
    return message.toUpper() == word.toUpper();
}

std::optional<Reply> replyOf(const QString& message)
{
    for (const ReplyWord& entry : kReplyWords) {
        const bool matches = entry.reply == Reply::No_Fiz_NormDB ? isWholeWord(message, *entry.word)
                                                                 : startsWithWord(message, *entry.word);
        if (matches)
            return entry.reply;
    }
    return std::nullopt;
}

const QString& wordOf(Reply reply)
{
    return *kReplyWords[std::size_t(reply)].word;
}

} // namespace Proto
