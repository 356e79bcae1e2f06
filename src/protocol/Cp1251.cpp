#include "protocol/Cp1251.h"

#include <array>
#include <cstdint>
#include <cstring>

#ifdef __linux__
#include <sys/mman.h>
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Cp1251 {
namespace {

// Bytes 0x80 to 0xFF; 0x00 to 0x7F are ASCII.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // F8
};

constexpr std::array<char16_t, 256> makeDecodeTable()
{
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 128; ++b)
        table[b] = char16_t(b);
    for (int b = 128; b < 256; ++b)
        table[b] = kHighHalf[b - 128];
    return table;
}

constexpr std::array<char16_t, 256> kDecode = makeDecodeTable();

// Every UTF-16 unit to its byte; '?' where the code page has none. 64 KiB,
// built once at compile time from the decode table so the two cannot differ.
constexpr std::array<char, 65536> makeEncodeTable()
{
    std::array<char, 65536> table{};
    for (auto& c : table)
        c = '?';
    for (int b = 0; b < 256; ++b)
        table[kDecode[b]] = char(b);
    return table;
}

constexpr std::array<char, 65536> kEncode = makeEncodeTable();

constexpr bool isHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}
constexpr bool isLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

} // namespace

char16_t toUnicode(unsigned char byte)
{
    return kDecode[byte];
}

void preferHugePages([[maybe_unused]] void* data, [[maybe_unused]] qsizetype size)
{
#ifdef __linux__
    constexpr std::uintptr_t huge = 2 * 1024 * 1024;
    if (size < qsizetype(4 * huge))
        return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + huge - 1) & ~(huge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + std::uintptr_t(size)) & ~(huge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

QString decode(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    QString text(n, Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    preferHugePages(out, n * qsizetype(sizeof(char16_t)));
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype i = 0;
    // The wire is mostly ASCII (words, separators, digits) and the Russian
    // letters А to я, which sit at 0xC0 to 0xFF in the same order as in
    // Unicode from U+0410. A block of sixteen bytes with nothing from 0x80 to
    // 0xBF is decoded by arithmetic, sixteen bytes at once with SSE2; any
    // other block goes through the table.
    constexpr int kBlock = 16;
    while (i + kBlock <= n) {
        const unsigned char* block = in + i;
#if defined(__SSE2__)
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
        const __m128i top2 = _mm_and_si128(chunk, _mm_set1_epi8(char(0xC0)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(top2, _mm_set1_epi8(char(0x80)))) == 0) {
            const __m128i letter = _mm_cmpeq_epi8(top2, _mm_set1_epi8(char(0xC0)));
            const __m128i shift = _mm_set1_epi16(0x0410 - 0xC0);
            const __m128i zero = _mm_setzero_si128();
            const __m128i low = _mm_add_epi16(_mm_unpacklo_epi8(chunk, zero),
                                              _mm_and_si128(_mm_unpacklo_epi8(letter, letter), shift));
            const __m128i high = _mm_add_epi16(_mm_unpackhi_epi8(chunk, zero),
                                               _mm_and_si128(_mm_unpackhi_epi8(letter, letter), shift));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), low);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), high);
            i += kBlock;
            continue;
        }
#else
        bool plain = true;
        for (int k = 0; k < kBlock; ++k)
            plain &= (block[k] & 0xC0) != 0x80;
        if (plain) {
            for (int k = 0; k < kBlock; ++k)
                out[i + k] = char16_t(block[k] + (block[k] >= 0xC0 ? 0x0410 - 0xC0 : 0));
            i += kBlock;
            continue;
        }
#endif
        for (int k = 0; k < kBlock; ++k)
            out[i + k] = kDecode[block[k]];
        i += kBlock;
    }
    for (; i < n; ++i)
        out[i] = kDecode[in[i]];
    return text;
}

QByteArray encode(QStringView text)
{
    const qsizetype n = text.size();
    QByteArray bytes(n, Qt::Uninitialized);
    const char16_t* in = text.utf16();
    char* out = bytes.data();
    qsizetype written = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = in[i];
        if (isHighSurrogate(u) && i + 1 < n && isLowSurrogate(in[i + 1])) {
            // One character, one replacement.
            out[written++] = '?';
            ++i;
            continue;
        }
        // Lone surrogates are not characters either; the table gives '?'.
        out[written++] = kEncode[u];
    }
    bytes.truncate(written);
    return bytes;
}

} // namespace Cp1251
