#pragma once

#include <QStringList>

// Energy of a values row (protein, fat, carbohydrate fractions 1 and 2, in
// grams): 9 kcal/g of fat, 4 of protein, 3.8 of mono- and disaccharides and
// 4.1 of starch, summed in that order in double precision. With `rounded` the
// result is taken to a whole number, halves away from zero.
//
// A cell that is missing or does not read as a number counts as 0: the row
// may come from a stored ration entry, and a reader must never fail on one.
double CalcKkal(const QStringList& values, bool rounded);
