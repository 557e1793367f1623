#include "engine/ui/DesignerDialogParts.h"

#include "template/TfrView.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace mirel::engine::ui {

QFont designerDialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(12);
    return font;
}

OkCancel addOkCancel(QDialog& dialog) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    auto* ok = new QPushButton(QStringLiteral("确定"), &dialog);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), &dialog);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    row->addWidget(ok);
    row->addWidget(cancel);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    return {row, ok, cancel};
}

QColor storedToQColor(std::uint32_t color) { return tmpl::toQColor(color); }

std::uint32_t qColorToStored(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) | (static_cast<std::uint32_t>(color.green()) << 8)
         | (static_cast<std::uint32_t>(color.blue()) << 16);
}

} // namespace mirel::engine::ui
