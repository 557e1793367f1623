#include "engine/ui/TfrPictureForm.h"

#include "core/ui/Dialogs.h"
#include "engine/ui/DesignerDialogParts.h"
#include "template/BuiltinViews.h"
#include "template/PictureImage.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <tuple>

namespace mirel::engine::ui {
namespace {

constexpr QSize kPreviewSize(220, 160);
// Larger files are no label picture (and a template record holds an int size).
constexpr qint64 kMaxPictureFile = 64LL * 1024 * 1024;

QString kindName(std::uint8_t kind) {
    switch (kind) {
    case tmpl::gkBitmap: return QStringLiteral("BMP");
    case tmpl::gkIcon: return QStringLiteral("ICO");
    case tmpl::gkJpeg: return QStringLiteral("JPEG");
    case tmpl::gkMetafile: return QStringLiteral("图元文件");
    default: return {};
    }
}

} // namespace

std::uint8_t pictureFileKind(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == std::string_view("\xFF\xD8\xFF", 3))
        return tmpl::gkJpeg;
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "BM")
        return tmpl::gkBitmap;
    if (bytes.size() >= 4 && bytes.substr(0, 4) == std::string_view("\0\0\1\0", 4))
        return tmpl::gkIcon;
    return tmpl::gkNone;
}

TfrPictureForm::TfrPictureForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frPictureForm"));
    setWindowTitle(QStringLiteral("图片"));
    setFont(designerDialogFont());

    PreviewLabel = new QLabel(this);
    PreviewLabel->setObjectName(QStringLiteral("PreviewLabel"));
    PreviewLabel->setFixedSize(kPreviewSize);
    PreviewLabel->setAlignment(Qt::AlignCenter);
    PreviewLabel->setFrameShape(QFrame::StyledPanel);
    PreviewLabel->setStyleSheet(QStringLiteral("background: white;"));
    InfoLabel = new QLabel(this);
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    LoadButton = new QPushButton(QStringLiteral("打开(&O)..."), this);
    LoadButton->setObjectName(QStringLiteral("LoadButton"));
    ClearButton = new QPushButton(QStringLiteral("清除(&L)"), this);
    ClearButton->setObjectName(QStringLiteral("ClearButton"));
    CenterBox = new QCheckBox(QStringLiteral("居中(&C)"), this);
    CenterBox->setObjectName(QStringLiteral("CenterBox"));
    KeepAspectBox = new QCheckBox(QStringLiteral("保持比例(&K)"), this);
    KeepAspectBox->setObjectName(QStringLiteral("KeepAspectBox"));
    StretchBox = new QCheckBox(QStringLiteral("拉伸(&S)"), this);
    StretchBox->setObjectName(QStringLiteral("StretchBox"));

    auto* side = new QVBoxLayout;
    side->addWidget(LoadButton);
    side->addWidget(ClearButton);
    side->addSpacing(8);
    side->addWidget(CenterBox);
    side->addWidget(KeepAspectBox);
    side->addWidget(StretchBox);
    side->addStretch();
    auto* upper = new QHBoxLayout;
    auto* previewColumn = new QVBoxLayout;
    previewColumn->addWidget(PreviewLabel);
    previewColumn->addWidget(InfoLabel);
    upper->addLayout(previewColumn);
    upper->addLayout(side);

    const OkCancel buttons = addOkCancel(*this);
    OkButton = buttons.ok;
    CancelButton = buttons.cancel;
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(upper);
    layout->addLayout(buttons.row);

    connect(LoadButton, &QPushButton::clicked, this, &TfrPictureForm::LoadButtonClick);
    connect(ClearButton, &QPushButton::clicked, this, &TfrPictureForm::ClearButtonClick);
    showGraphic();
}

void TfrPictureForm::showGraphic() {
    const QImage image = tmpl::pictureImage(m_kind, m_graphic);
    if (image.isNull()) {
        PreviewLabel->setPixmap(QPixmap());
        PreviewLabel->setText(m_kind == tmpl::gkNone ? QStringLiteral("(无图片)") : kindName(m_kind));
    } else {
        QImage shown = image;
        if (image.width() > kPreviewSize.width() - 4 || image.height() > kPreviewSize.height() - 4)
            shown = image.scaled(kPreviewSize - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        PreviewLabel->setPixmap(QPixmap::fromImage(shown));
    }
    InfoLabel->setText(m_kind == tmpl::gkNone
                           ? QString()
                           : image.isNull() ? QStringLiteral("%1, %2 字节").arg(kindName(m_kind)).arg(m_graphic.size())
                                            : QStringLiteral("%1, %2 x %3").arg(kindName(m_kind))
                                                  .arg(image.width())
                                                  .arg(image.height()));
    ClearButton->setEnabled(m_kind != tmpl::gkNone);
}

void TfrPictureForm::LoadButtonClick() {
    mirel::ui::FileDialogOptions options;
    options.title = QStringLiteral("打开图片");
    options.filter = QStringLiteral("图片文件 (*.jpg;*.jpeg;*.bmp;*.ico)|*.jpg;*.jpeg;*.bmp;*.ico|"
                                    "JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg|BMP (*.bmp)|*.bmp|ICO (*.ico)|*.ico");
    const std::optional<QString> path = mirel::ui::dialogs().openFile(this, options);
    if (!path)
        return;
    QFile file(*path);
    QString problem;
    std::string bytes;
    if (QFileInfo(*path).size() > kMaxPictureFile)
        problem = QStringLiteral("图片文件太大: %1").arg(QFileInfo(*path).fileName());
    else if (!file.open(QIODevice::ReadOnly))
        problem = QStringLiteral("无法打开文件 %1: %2").arg(QFileInfo(*path).fileName(), file.errorString());
    else
        bytes = file.readAll().toStdString();
    const std::uint8_t kind = problem.isEmpty() ? pictureFileKind(bytes) : std::uint8_t(tmpl::gkNone);
    // Only a file the picture object can draw is taken; one that merely
    // carries a picture's extension would print as an empty frame.
    if (problem.isEmpty() && (kind == tmpl::gkNone || tmpl::pictureImage(kind, bytes).isNull()))
        problem = QStringLiteral("%1 不是有效的 JPEG、BMP 或 ICO 图片").arg(QFileInfo(*path).fileName());
    if (!problem.isEmpty()) {
        mirel::ui::dialogs().message(this, problem, QStringLiteral("错误"), mirel::ui::MessageIcon::Error);
        return;
    }
    m_kind = kind;
    m_graphic = std::move(bytes);
    showGraphic();
}

void TfrPictureForm::ClearButtonClick() {
    m_kind = tmpl::gkNone;
    m_graphic.clear();
    showGraphic();
}

void TfrPictureForm::Load(const tmpl::TfrPictureView& picture) {
    m_kind = picture.GraphicKind;
    m_graphic = picture.Graphic;
    CenterBox->setChecked(picture.Center());
    KeepAspectBox->setChecked(picture.KeepAspect());
    StretchBox->setChecked(picture.Stretched());
    showGraphic();
}

void TfrPictureForm::Store(tmpl::TfrPictureView& picture) const {
    picture.GraphicKind = m_kind;
    picture.Graphic = m_graphic;
    std::uint16_t flags = picture.Flags & ~std::uint16_t(1 | 2 | 4);
    if (StretchBox->isChecked())
        flags |= 1;
    if (CenterBox->isChecked())
        flags |= 2;
    if (KeepAspectBox->isChecked())
        flags |= 4;
    picture.Flags = flags;
}

bool choosePicture(QWidget* parent, tmpl::TfrPictureView& picture) {
    TfrPictureForm form(parent);
    form.Load(picture);
    if (mirel::ui::dialogs().exec(form) != QDialog::Accepted)
        return false;
    const auto fields = [](const tmpl::TfrPictureView& p) { return std::tie(p.GraphicKind, p.Graphic, p.Flags); };
    const auto before = std::make_tuple(picture.GraphicKind, picture.Graphic, picture.Flags);
    form.Store(picture);
    return fields(picture) != before;
}

} // namespace mirel::engine::ui
