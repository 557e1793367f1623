#pragma once
// What the designer's dialogs share: their font, the OK and Cancel row, unit
// conversions between page units and millimetres, and colours between the
// stored 0x00BBGGRR form and Qt's.

#include "core/Encoding.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <cstdint>

class QDialog;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace mirel::engine::ui {

// SimSun at 12 pixels where it is installed; the CJK face stands in elsewhere.
QFont designerDialogFont();

// "确定" (default, with a check before it closes when `onOk` is given) and
// "取消", right-aligned; named OkButton and CancelButton.
struct OkCancel {
    QHBoxLayout* row;
    QPushButton* ok;
    QPushButton* cancel;
};
OkCancel addOkCancel(QDialog& dialog);

// Page units (18 per 5 mm) and millimetres.
inline double unitsToMm(double units) { return units * 5.0 / 18.0; }
inline std::int32_t mmToUnits(double mm) { return static_cast<std::int32_t>(mm * 18.0 / 5.0 + (mm < 0 ? -0.5 : 0.5)); }

// Stored colours (0x00BBGGRR) and Qt's; system colours through tmpl::toQColor.
QColor storedToQColor(std::uint32_t color);
std::uint32_t qColorToStored(const QColor& color);

inline QString uni(const AnsiString& text) { return core::toUnicode(text); }
inline AnsiString ansi(const QString& text) { return core::fromUnicode(text); }

} // namespace mirel::engine::ui
