#pragma once
// The designer's toolbar and palette pictures, drawn at start so the program
// carries no image files. Add-in classes without a picture of their own get
// a tile with the initial of their class.

#include <QIcon>
#include <QString>

namespace mirel::engine::ui {

enum class DesignerIcon {
    New, Preview, Undo, Redo, Cut, Copy, Paste, Delete, Front, Back,
    AlignLeft, AlignRight, AlignTop, AlignBottom, AlignHCentre, AlignVCentre,
    PageSetup, Dictionary, Grid, Snap,
    Select, Memo, Picture, Band, Line, SubReport,
};

QIcon designerIcon(DesignerIcon which);
// "TfrShapeView" -> a tile with "S".
QIcon addinIcon(const QString& className);

} // namespace mirel::engine::ui
