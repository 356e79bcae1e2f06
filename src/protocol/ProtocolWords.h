#pragma once

#include <QString>

#include <optional>

// The one list of protocol texts: the terminator, the payload separators and
// every request and reply word, and the one rule both ends match words by.
// No module spells these out for itself.
namespace Proto {

// Message terminator: "<", U+0490 (ghe with upturn), ">"; bytes 3C A5 3E in Windows-1251.
inline const QString Terminator = QStringLiteral("<Ґ>");

// Payload separators.
inline const QString Str = QStringLiteral("<Str>"); // rows; also between the two arguments of GetHSDishes
inline const QString Sc = QStringLiteral("<Sc>");   // cells of a row
inline const QString EB = QStringLiteral("<EB>");   // collection records of "$BB="
inline const QString TB = QStringLiteral("<TB>");   // fields of a collection record
inline const QString BL = QStringLiteral("<BL>");   // dish names of "$Dishes="
inline const QString NO_DISHES = QStringLiteral("$NO_DISHES"); // "$Dishes=" payload: empty collection

// Requests.
inline const QString GetDishTables = QStringLiteral("$GetDishTables");
inline const QString GetDishes = QStringLiteral("$GetDishes=");
inline const QString GetHSDishes = QStringLiteral("$GetHSDishes=");
inline const QString Get_Man_Norm = QStringLiteral("$Get_Man_Norm");
inline const QString Get_Girl_Norm = QStringLiteral("$Get_Girl_Norm");
inline const QString Mess = QStringLiteral("$Mess="); // request and reply

// Replies.
inline const QString BB = QStringLiteral("$BB=");
inline const QString Dishes = QStringLiteral("$Dishes=");
inline const QString HSDishes = QStringLiteral("$HSDishes=");
inline const QString Man_Norm = QStringLiteral("$Man_Norm=");
inline const QString Girl_Norm = QStringLiteral("$Girl_Norm=");
inline const QString No_Fiz_NormDB = QStringLiteral("$No_Fiz_NormDB");

// In the vocabulary but neither sent nor handled by the client.
inline const QString GetDishesT = QStringLiteral("$GetDishesT");
inline const QString No_Dishes = QStringLiteral("$No_Dishes");
inline const QString Err_inquiry = QStringLiteral("$Err_inquiry");

// A message starts with `word` when its first word.size() characters, in
// upper case, equal the word in upper case; the payload is what follows.
bool startsWithWord(const QString& message, const QString& word);
// The whole message, in upper case, equals `word` in upper case.
bool isWholeWord(const QString& message, const QString& word);

// The replies the client acts on, in the order it tries their words: the
// first that matches decides ("$HSDishes=" before "$Dishes=").
enum class Reply
{
    Mess,
    BB,
    HSDishes,
    Dishes,
    No_Fiz_NormDB, // the whole message, nothing after it
    Man_Norm,
    Girl_Norm,
};
// The reply `message` carries, or none for a word the client does not know.
std::optional<Reply> replyOf(const QString& message);
// The reply's word, whose length is where its payload starts.
const QString& wordOf(Reply reply);

} // namespace Proto
