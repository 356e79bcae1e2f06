#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows-1251, the server's wire encoding, by lookup tables. A general codec
// is several times slower than the receive path may be; a single-byte code
// page needs nothing more than one table each way.
namespace Cp1251 {

// Every byte maps to one UTF-16 unit. 0x98, undefined in the code page, is
// decoded as U+0098, as the platform's converter does.
QString decode(QByteArrayView bytes);

// One byte per character. A character the code page cannot carry becomes "?";
// a surrogate pair (one character outside the BMP) becomes a single "?".
QByteArray encode(QStringView text);

// The table behind decode(), for code that needs a byte at a time.
char16_t toUnicode(unsigned char byte);

// Fresh memory of many megabytes is handed out by the kernel a 4 KiB page at
// a time, a fault each; this asks for 2 MiB pages where the system offers
// them (a hint only; nothing happens for small sizes or elsewhere).
void preferHugePages(void* data, qsizetype size);

} // namespace Cp1251
