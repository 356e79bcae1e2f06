#include "PdfProbe.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace {

bool run(const QString& program, const QStringList& arguments, QByteArray* output, QString* why)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        *why = program + u" failed: "_qs + QString::fromLocal8Bit(process.readAllStandardError());
        process.kill();
        process.waitForFinished(2000);
        return false;
    }
    *output = process.readAllStandardOutput();
    return true;
}

} // namespace

bool PdfProbe::toolsAvailable()
{
    return !QStandardPaths::findExecutable(u"pdfinfo"_qs).isEmpty() &&
           !QStandardPaths::findExecutable(u"pdftotext"_qs).isEmpty();
}

PdfProbe::PdfProbe(const QString& fileName)
{
    QByteArray info;
    if (!run(u"pdfinfo"_qs, {fileName}, &info, &m_why))
        return;
    const QString text = QString::fromUtf8(info);
    const auto pages =
        QRegularExpression(u"^Pages:\\s+(\\d+)"_qs, QRegularExpression::MultilineOption).match(text);
    const auto size = QRegularExpression(u"^Page size:\\s+([\\d.]+) x ([\\d.]+) pts"_qs,
                                         QRegularExpression::MultilineOption)
                          .match(text);
    if (!pages.hasMatch() || !size.hasMatch()) {
        m_why = u"pdfinfo gave no page count or size:\n"_qs + text;
        return;
    }
    m_pages = pages.captured(1).toInt();
    m_pageSize = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());

    QByteArray html;
    if (!run(u"pdftotext"_qs, {u"-enc"_qs, u"UTF-8"_qs, u"-bbox"_qs, fileName, u"-"_qs}, &html, &m_why))
        return;
    QXmlStreamReader xml(html);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"word")
            continue;
        const auto a = xml.attributes();
        const QRectF box(QPointF(a.value(u"xMin"_qs).toDouble(), a.value(u"yMin"_qs).toDouble()),
                         QPointF(a.value(u"xMax"_qs).toDouble(), a.value(u"yMax"_qs).toDouble()));
        m_words << Word{xml.readElementText(), box};
    }
    m_ok = true;
}

QRectF PdfProbe::boxOf(const QString& text) const
{
    for (const Word& word : m_words)
        if (word.text == text)
            return word.box;
    return QRectF();
}
