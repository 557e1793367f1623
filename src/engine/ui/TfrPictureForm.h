#pragma once
// TfrPictureForm: the designer's picture chooser. Loads a JPEG, BMP or ICO file
// into a picture object (the file's bytes are kept as they are, so saving the
// template stores the same file), or clears it; and sets how the picture sits
// in its frame: centred, keeping its aspect, stretched.

#include "engine/ui/DesignerDialogs.h"

#include <QDialog>
#include <cstdint>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;

namespace mirel::engine::ui {

// The graphic kind of a picture file by its first bytes: JPEG (FF D8 FF),
// BMP ("BM") or ICO (00 00 01 00); 0 for anything else.
std::uint8_t pictureFileKind(std::string_view bytes);

class TfrPictureForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrPictureForm(QWidget* parent = nullptr);

    void Load(const tmpl::TfrPictureView& picture);
    void Store(tmpl::TfrPictureView& picture) const;

    // Asks for a file through the dialog interface and takes it; a file that is
    // no picture this program can show is refused with a message.
    void LoadButtonClick();
    void ClearButtonClick();

    QLabel* PreviewLabel;
    QLabel* InfoLabel;
    QPushButton* LoadButton;
    QPushButton* ClearButton;
    QCheckBox* CenterBox;
    QCheckBox* KeepAspectBox;
    QCheckBox* StretchBox;
    QPushButton* OkButton;
    QPushButton* CancelButton;

private:
    void showGraphic();

    std::uint8_t m_kind = 0;
    std::string m_graphic;
};

} // namespace mirel::engine::ui
