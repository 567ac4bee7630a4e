// How the list view is drawn: its header, and where a row's picture goes. Not for the program.
#pragma once

#include <QRect>

class ListViewWidget;
class QHeaderView;

// The header of the list's columns: thin, the captions in the system font, each with the small
// list's picture before it when its column has LVCFMT_IMAGE.
QHeaderView* MakeListViewHeader(ListViewWidget* list);

// The picture's place in a first cell starting at x (viewport or client coordinates alike); a
// rectangle of no width when the list has no small pictures.
QRect PictureRect(const ListViewWidget& list, int x, int y, int cellWidth);
