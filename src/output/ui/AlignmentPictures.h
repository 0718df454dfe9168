#pragma once

#include <QIcon>

// The pictures of the nine grid alignments of the print dialog: a sheet with the grid of cards in
// the corner, edge or middle that the code (1 top left … 9 bottom right) names, plain or as the
// chosen one.
namespace AlignmentPictures {

QImage picture(int code, bool selected, int size = 28);
QIcon icon(int code, bool selected);

} // namespace AlignmentPictures
