#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

// Reads back a PDF with poppler's command-line tools: the page count and
// size from pdfinfo, the words and their boxes (in points) from pdftotext.
class PdfProbe final
{
public:
    struct Word
    {
        QString text;
        QRectF box;
    };

    explicit PdfProbe(const QString& fileName);

    // False when the tools are missing or the file is no readable PDF; why()
    // then tells.
    bool ok() const { return m_ok; }
    QString why() const { return m_why; }

    int pages() const { return m_pages; }
    QSizeF pageSize() const { return m_pageSize; }
    const QList<Word>& words() const { return m_words; }
    // The first word that is exactly `text`; an empty box when none is.
    QRectF boxOf(const QString& text) const;

    static bool toolsAvailable();

private:
    bool m_ok = false;
    QString m_why;
    int m_pages = 0;
    QSizeF m_pageSize;
    QList<Word> m_words;
};
