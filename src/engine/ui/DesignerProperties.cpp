#include "engine/ui/DesignerProperties.h"

#include "core/Encoding.h"
#include "core/Numbers.h"
#include "template/BuiltinViews.h"

#include <QStringList>
#include <cmath>
#include <limits>

namespace mirel::engine::ui {

namespace {

using tmpl::PropertyEntry;
namespace property = tmpl::property;

bool isDataBand(int type) {
    return type == tmpl::btMasterData || type == tmpl::btDetailData || type == tmpl::btSubDetailData ||
           type == tmpl::btCrossData;
}
bool hasColumns(int type) {
    return type == tmpl::btMasterData || type == tmpl::btDetailData || type == tmpl::btSubDetailData;
}

QString text(const AnsiString& ansi) { return core::toUnicode(ansi); }
AnsiString ansi(const QString& text) { return core::fromUnicode(text); }

std::optional<std::int32_t> parseInt(const QString& text) {
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<double> parseReal(const QString& text) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<bool> parseBool(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("1") || t == QLatin1String("true") || t == QStringLiteral("是"))
        return true;
    if (t == QLatin1String("0") || t == QLatin1String("false") || t == QStringLiteral("否"))
        return false;
    return std::nullopt;
}

QString boolText(bool on) { return on ? QStringLiteral("是") : QStringLiteral("否"); }

QString linesText(const tmpl::Lines& lines) {
    QStringList out;
    for (const AnsiString& line : lines)
        out << text(line);
    return out.join(QLatin1Char('\n'));
}

tmpl::Lines linesOf(const QString& value) {
    tmpl::Lines lines;
    if (value.isEmpty())
        return lines;
    QString t = value;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& line : t.split(QLatin1Char('\n')))
        lines.push_back(ansi(line));
    return lines;
}

void setFlag(std::uint16_t& flags, std::uint16_t bit, bool on) {
    flags = on ? static_cast<std::uint16_t>(flags | bit) : static_cast<std::uint16_t>(flags & ~bit);
}

template <typename T>
bool assignIf(std::optional<T> value, T& into) {
    if (!value)
        return false;
    into = *value;
    return true;
}

bool assignWord(const QString& value, std::uint16_t& into) {
    const auto v = parseInt(value);
    if (!v || *v < 0 || *v > 0xFFFF)
        return false;
    into = static_cast<std::uint16_t>(*v);
    return true;
}

} // namespace

std::vector<PropertyEntry> inspectorEntries(const tmpl::TfrView& view) {
    std::vector<PropertyEntry> entries;
    view.ListProperties(entries);
    if (const auto* band = dynamic_cast<const tmpl::TfrBandView*>(&view)) {
        const int type = band->BandType();
        entries.push_back({"BandType", property::kText});
        if (isDataBand(type))
            entries.push_back({"DataSet", property::kText});
        if (hasColumns(type)) {
            entries.push_back({"Columns", property::kInteger});
            entries.push_back({"ColumnWidth", property::kInteger});
            entries.push_back({"ColumnGap", property::kInteger});
            entries.push_back({"NewColumnAfter", property::kInteger});
        }
        if (type == tmpl::btGroupHeader) {
            entries.push_back({"Condition", property::kText});
            entries.push_back({"Master", property::kText});
        }
        if (type != tmpl::btPageFooter)
            entries.push_back({"ChildBand", property::kText});
    }
    return entries;
}

bool isReadOnlyEntry(const PropertyEntry& entry) {
    const std::string_view name = entry.name;
    return name == "Memo.Count" || name == "BandType" || entry.kind == property::kEditor ||
           entry.kind == property::kDataField;
}

bool isMillimetreEntry(std::string_view name) {
    return name == "Left" || name == "Top" || name == "Width" || name == "Height" || name == "ColumnWidth" ||
           name == "ColumnGap";
}

QString millimetreText(std::int64_t units) {
    const double mm = static_cast<double>(units) * 5.0 / 18.0;
    QString t = QString::number(mm, 'f', 2);
    while (t.endsWith(QLatin1Char('0')))
        t.chop(1);
    if (t.endsWith(QLatin1Char('.')))
        t.chop(1);
    return t == QLatin1String("-0") ? QStringLiteral("0") : t;
}

std::optional<std::int32_t> unitsFromMillimetres(const QString& text) {
    const auto mm = parseReal(text);
    if (!mm)
        return std::nullopt;
    const double units = std::nearbyint(*mm * 18.0 / 5.0);
    if (units < std::numeric_limits<std::int32_t>::min() || units > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(units);
}

QString colorText(std::uint32_t color) {
    if (color == tmpl::kNoColor)
        return QStringLiteral("无");
    if ((color >> 24) == 0xFF)
        return QStringLiteral("$%1").arg(color, 8, 16, QLatin1Char('0')).toUpper();
    const QColor c = tmpl::toQColor(color);
    return c.name(QColor::HexRgb).toUpper();
}

std::optional<std::uint32_t> parseColor(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t == QStringLiteral("无") || t.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        return tmpl::kNoColor;
    bool ok = false;
    if (t.startsWith(QLatin1Char('#')) && t.size() == 7) {
        const uint rgb = t.mid(1).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        // 0x00BBGGRR as stored.
        return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
    }
    if (t.startsWith(QLatin1Char('$'))) {
        const uint value = t.mid(1).toUInt(&ok, 16);
        return ok ? std::optional<std::uint32_t>(value) : std::nullopt;
    }
    const uint value = t.toUInt(&ok);
    return ok ? std::optional<std::uint32_t>(value) : std::nullopt;
}

QString fontText(const AnsiString& name, int size, std::uint16_t style) {
    QStringList parts{text(name), QString::number(size)};
    QStringList styles;
    if (style & tmpl::kFontBold)
        styles << QStringLiteral("粗体");
    if (style & tmpl::kFontItalic)
        styles << QStringLiteral("斜体");
    if (style & tmpl::kFontUnderline)
        styles << QStringLiteral("下划线");
    if (style & tmpl::kFontStrikeOut)
        styles << QStringLiteral("删除线");
    if (!styles.isEmpty())
        parts << styles.join(QLatin1Char(' '));
    return parts.join(QStringLiteral(", "));
}

QString propertyText(const tmpl::TfrView& view, std::string_view name) {
    const auto* memo = dynamic_cast<const tmpl::TfrMemoView*>(&view);
    const auto* band = dynamic_cast<const tmpl::TfrBandView*>(&view);
    if (name == "Name")
        return text(view.Name);
    if (name == "Left")
        return millimetreText(view.Left);
    if (name == "Top")
        return millimetreText(view.Top);
    if (name == "Width")
        return millimetreText(view.Width);
    if (name == "Height")
        return millimetreText(view.Height);
    if (name == "Flags")
        return QString::number(view.Flags);
    if (name == "FrameTyp")
        return QString::number(view.FrameTyp);
    if (name == "FrameWidth")
        return QString::fromStdString(core::formatGeneral(view.FrameWidth));
    if (name == "FrameColor")
        return colorText(view.FrameColor);
    if (name == "FrameStyle")
        return QString::number(view.FrameStyle);
    if (name == "FillColor")
        return colorText(view.FillColor);
    if (name == "Tag")
        return text(view.Tag);
    if (name == "BandAlign")
        return QString::number(view.BandAlign);
    if (name == "Visible")
        return boolText(view.Visible);
    if (name == "Memo")
        return linesText(view.Memo);
    if (name == "Memo.Count")
        return QString::number(view.Memo.size());
    if (name == "Restrictions")
        return QString::number(view.Restrictions);
    if (name == "GapX")
        return QString::number(view.GapX);
    if (name == "GapY")
        return QString::number(view.GapY);
    if (name == "DataField")
        return view.Memo.empty() ? QString() : text(view.Memo.front());
    if (name == "Barcode")
        return view.Memo.empty() ? QStringLiteral("…") : text(view.Memo.front());
    if (memo) {
        if (name == "Font")
            return fontText(memo->FontName, memo->FontSize, memo->FontStyle);
        if (name == "Alignment")
            return QString::number(memo->Alignment);
        if (name == "Highlight")
            return text(memo->Highlight);
        if (name == "LineSpacing")
            return QString::number(memo->LineSpacing);
        if (name == "CharSpacing")
            return QString::number(memo->CharSpacing);
        if (name == "WordWrap")
            return boolText(memo->Flags & tmpl::kWordWrap);
        if (name == "AutoWidth")
            return boolText(memo->Flags & tmpl::kAutoWidth);
        if (name == "TextOnly")
            return boolText(memo->Flags & tmpl::kTextOnly);
    }
    if (band) {
        if (name == "BandType") {
            const int type = band->BandType();
            return type >= 0 && type < static_cast<int>(tmpl::kBandTypeNames.size())
                       ? QString::fromUtf8(tmpl::kBandTypeNames[static_cast<size_t>(type)])
                       : QString::number(type);
        }
        if (name == "DataSet" || name == "Condition")
            return text(band->FormatStr);
        if (name == "Columns")
            return QString::number(band->Columns);
        if (name == "ColumnWidth")
            return millimetreText(band->ColumnWidth);
        if (name == "ColumnGap")
            return millimetreText(band->ColumnGap);
        if (name == "NewColumnAfter")
            return QString::number(band->NewColumnAfter);
        if (name == "Master")
            return text(band->Master);
        if (name == "ChildBand")
            return text(band->ChildBand);
    }
    return {};
}

bool setPropertyText(tmpl::TfrView& view, std::string_view name, const QString& value) {
    auto* memo = dynamic_cast<tmpl::TfrMemoView*>(&view);
    auto* band = dynamic_cast<tmpl::TfrBandView*>(&view);
    const auto size = [&](std::int32_t& into) {
        const auto units = unitsFromMillimetres(value);
        if (!units || *units < 0)
            return false;
        into = *units;
        return true;
    };
    if (name == "Name") {
        if (value.trimmed().isEmpty())
            return false;
        view.Name = ansi(value.trimmed());
        return true;
    }
    if (name == "Left")
        return assignIf(unitsFromMillimetres(value), view.Left);
    if (name == "Top")
        return assignIf(unitsFromMillimetres(value), view.Top);
    if (name == "Width")
        return size(view.Width);
    if (name == "Height")
        return size(view.Height);
    if (name == "Flags")
        return assignWord(value, view.Flags);
    if (name == "FrameTyp")
        return assignWord(value, view.FrameTyp);
    if (name == "FrameWidth") {
        const auto w = parseReal(value);
        if (!w || *w < 0 || *w > 1000)
            return false;
        view.FrameWidth = *w;
        return true;
    }
    if (name == "FrameColor")
        return assignIf(parseColor(value), view.FrameColor);
    if (name == "FrameStyle") {
        const auto v = parseInt(value);
        if (!v || *v < 0 || *v > 5)
            return false;
        view.FrameStyle = static_cast<std::uint16_t>(*v);
        return true;
    }
    if (name == "FillColor")
        return assignIf(parseColor(value), view.FillColor);
    if (name == "Tag") {
        view.Tag = ansi(value);
        return true;
    }
    if (name == "BandAlign") {
        const auto v = parseInt(value);
        if (!v || *v < 0 || *v > 7)
            return false;
        view.BandAlign = static_cast<std::uint8_t>(*v);
        return true;
    }
    if (name == "Visible")
        return assignIf(parseBool(value), view.Visible);
    if (name == "Memo") {
        view.Memo = linesOf(value);
        return true;
    }
    if (name == "Restrictions")
        return assignWord(value, view.Restrictions);
    if (name == "GapX")
        return assignIf(parseInt(value), view.GapX);
    if (name == "GapY")
        return assignIf(parseInt(value), view.GapY);
    if (memo) {
        if (name == "Alignment") {
            const auto v = parseInt(value);
            if (!v || *v < 0 || *v > 31)
                return false;
            memo->Alignment = *v;
            return true;
        }
        if (name == "Highlight") {
            memo->Highlight = ansi(value);
            return true;
        }
        if (name == "LineSpacing")
            return assignIf(parseInt(value), memo->LineSpacing);
        if (name == "CharSpacing")
            return assignIf(parseInt(value), memo->CharSpacing);
        const auto flag = [&](std::uint16_t bit) {
            const auto on = parseBool(value);
            if (!on)
                return false;
            setFlag(memo->Flags, bit, *on);
            return true;
        };
        if (name == "WordWrap")
            return flag(tmpl::kWordWrap);
        if (name == "AutoWidth")
            return flag(tmpl::kAutoWidth);
        if (name == "TextOnly")
            return flag(tmpl::kTextOnly);
    }
    if (band) {
        if (name == "DataSet" || name == "Condition") {
            band->FormatStr = ansi(value.trimmed());
            return true;
        }
        if (name == "Columns") {
            const auto v = parseInt(value);
            if (!v || *v < 1 || *v > 1000)
                return false;
            band->Columns = *v;
            return true;
        }
        if (name == "ColumnWidth")
            return size(band->ColumnWidth);
        if (name == "ColumnGap")
            return size(band->ColumnGap);
        if (name == "NewColumnAfter") {
            const auto v = parseInt(value);
            if (!v || *v < 1)
                return false;
            band->NewColumnAfter = *v;
            return true;
        }
        if (name == "Master") {
            band->Master = ansi(value.trimmed());
            return true;
        }
        if (name == "ChildBand") {
            band->ChildBand = ansi(value.trimmed());
            return true;
        }
    }
    return false;
}

} // namespace mirel::engine::ui
