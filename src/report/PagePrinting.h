#pragma once

#include <QString>

class QPicture;
class QPrinter;

// Playing the report page onto paper: the printer and the PDF file take the
// same page, laid out the same way.
namespace PagePrinting {

// Sets up `printer` for the page: A4 portrait in one page layout, no margins,
// the origin at the paper's corner, high resolution, one copy.
void prepare(QPrinter& printer);

// Plays `page` onto `printer` at (0, 0). The picture was recorded at 96 dpi
// and QPainter::drawPicture scales it to the printer's resolution itself, so
// the text stays sharp and the page keeps its size on paper. Returns false
// when the printer cannot be opened.
bool play(QPrinter& printer, const QPicture& page);

// Writes `page` to `fileName` as a one-page A4 PDF. Returns an empty text on
// success, otherwise a message for the user.
QString savePdf(const QPicture& page, const QString& fileName);

} // namespace PagePrinting
