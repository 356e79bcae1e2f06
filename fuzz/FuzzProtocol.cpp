// Arbitrary bytes as the server might send them: the front of the input is
// the byte stream, the back decides where it is cut into arrivals. Every
// complete message goes through the dispatcher into the real payload parsers
// (catalogue, dish list, composition, norm table); the status log takes the
// rest. Besides crashes and sanitizer reports, the splitter is checked
// against a plain search of the whole stream.

#include "common/Dialogs.h"
#include "fitness/NormTable.h"
#include "protocol/Cp1251.h"
#include "protocol/MessageSplitter.h"
#include "protocol/ReplyTarget.h"
#include "protocol/ServerCommands.h"
#include "protocol/ServerLink.h"
#include "protocol/StatusLog.h"
#include "recipes/Catalogue.h"
#include "recipes/Composition.h"
#include "recipes/CompositionDisplay.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

// Small, so that long inputs reach the overflow path.
constexpr qsizetype kMaxPending = 2048;

class ParsingTarget final : public ReplyTarget
{
public:
    void form_Bases_Bl(const QString& payload) override
    {
        const Catalogue::CollectionNames names = Catalogue::collectionNames(payload);
        sink += names.names.size() + names.emptyRecords;
    }
    void form_Dishes_Bl(const QString& payload) override
    {
        const Catalogue::DishNames names = Catalogue::dishNames(payload);
        sink += names.names.size() + (names.noDishes ? 1 : 0);
    }
    void receiveComposition(const QString& payload) override
    {
        if (const auto composition = Composition::parse(payload))
            sink += composition->dishName().size() + qsizetype(composition->weight() > 0);
        const CompositionDisplay shown = CompositionDisplay::form_HS_Dish(payload, true, QString());
        sink += shown.lHS().size();
        // A weight typed by the user, applied to the same composition.
        const CompositionDisplay scaled = CompositionDisplay::form_HS_Dish(payload, false, u"150/50"_s);
        sink += scaled.tOut().size();
    }
    void receiveNorm(const QString& payload) override
    {
        const NormTable table(payload);
        const QStringList kfas = table.kfaList();
        for (const QString& kfa : kfas) {
            const QStringList ages = table.ageList(kfa);
            for (const QString& age : ages) {
                sink += table.GetFullGroup(NormTable::sexWord(true, false), kfa, age).size();
                sink += qsizetype(table.GetFizEnergy(kfa, age) > 0);
            }
        }
    }

    qsizetype sink = 0;
};

class LogLink final : public ServerLink
{
public:
    void SendCommand(const QString&) override {}
    void AddStatus(const QString& line) override { log.AddStatus(line); }

    StatusLog log{4096};
};

// Boxes are answered at once; what they would show is only measured.
class SilentDialogs final : public Dialogs::Backend
{
public:
    Dialogs::Answer message(const Dialogs::Box& box) override
    {
        shown += box.text.size();
        return Dialogs::Answer::Ok;
    }
    QString input(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }

    qsizetype shown = 0;
};

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_protocol: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static SilentDialogs dialogs;
    Dialogs::setBackend(&dialogs);

    FuzzedDataProvider input(data, size);
    MessageSplitter splitter(kMaxPending);
    ParsingTarget target;
    LogLink link;
    QByteArray stream;
    QStringList messages;
    bool overflowed = false;

    while (input.remaining_bytes() > 0) {
        // Arrivals of 1 to 300 bytes; the cut sizes come from the input's end.
        const size_t cut = input.ConsumeIntegralInRange<size_t>(1, 300);
        const std::string arrival = input.ConsumeBytesAsString(cut);
        splitter.append(QByteArrayView(arrival.data(), qsizetype(arrival.size())));
        if (!overflowed)
            stream.append(arrival.data(), qsizetype(arrival.size()));
        while (auto message = splitter.takeMessage()) {
            if (!overflowed)
                messages << *message;
            ParseServerCommand(std::move(*message), &target, link);
        }
        if (splitter.pendingBytes() > kMaxPending)
            fail("more than the bound held after a take");
        if (splitter.overflowed()) {
            if (splitter.pendingBytes() != 0)
                fail("overflowed but still holding bytes");
            overflowed = true;
            splitter.clear();
        }
    }

    if (!overflowed) {
        // The same messages as a search of the whole stream from its start.
        const QByteArray terminator("\x3C\xA5\x3E");
        QStringList expected;
        qsizetype from = 0;
        for (qsizetype at; (at = stream.indexOf(terminator, from)) >= 0; from = at + 3)
            expected << Cp1251::decode(QByteArrayView(stream).sliced(from, at - from));
        if (messages != expected)
            fail("messages differ from a plain search of the stream");
        if (splitter.pendingBytes() != stream.size() - from)
            fail("pending bytes differ from the unterminated tail");
    }
    if (link.log.text().size() > 4096 + StatusLog::kMaxLineChars + 8)
        fail("status log past its bound");
    return 0;
}
