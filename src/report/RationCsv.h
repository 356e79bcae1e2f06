#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

class RationTable;

// The ration table as CSV that spreadsheets open correctly in a Russian
// setting: UTF-8 with a byte-order mark (else Excel guesses the ANSI code
// page), ";" between cells (the comma is the decimal separator), numbers with
// a decimal comma, and cells quoted by the usual rules (RFC 4180).
namespace RationCsv {

// Head lines with the date, the group and its need, a blank line, the header
// row, one row per dish and the totals row. Shares are written as bare
// numbers of per cent so that they stay numbers in the sheet.
QByteArray write(const RationTable& table, const QDate& date);

// One cell: quoted when it holds ";", a quote or a line break (quotes
// doubled). A text cell that a spreadsheet would take for a formula ("=",
// "+", "-", "@" first: dish names are server text) gets a leading apostrophe.
QString cell(const QString& text, bool isNumber = false);

} // namespace RationCsv
