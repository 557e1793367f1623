#pragma once
// The preview's toolbar pictures, drawn with QPainter on a 24-unit grid at the
// sizes a toolbar asks for (sharp on high-density screens too).

#include <QIcon>

namespace mirel::engine {

enum class PreviewIcon {
    FirstPage, PreviousPage, NextPage, LastPage,
    ZoomIn, ZoomOut, WholePage, PageWidth, ActualSize,
    Open, Save, Print, Pdf, Find, Help, Close,
};

QIcon previewIcon(PreviewIcon which);

} // namespace mirel::engine
