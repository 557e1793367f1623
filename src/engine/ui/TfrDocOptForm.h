#pragma once
// TfrDocOptForm: the designer's report options: print to the default printer,
// two passes, the report information fields (name, comment, author, version
// parts) and the template password with its protection flag.

#include "engine/ui/DesignerDialogs.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace mirel::engine::ui {

class TfrDocOptForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrDocOptForm(QWidget* parent = nullptr);

    void Load(const tmpl::TfrReport& report);
    void Store(tmpl::TfrReport& report) const;

    QCheckBox* PrintToDefaultBox;
    QCheckBox* DoublePassBox;
    QLineEdit* ReportNameEdit;
    QPlainTextEdit* CommentEdit;
    QLineEdit* AuthorEdit;
    QLineEdit* VMajorEdit;
    QLineEdit* VMinorEdit;
    QLineEdit* VReleaseEdit;
    QLineEdit* VBuildEdit;
    QCheckBox* PasswordBox;        // the template asks for its password when opened
    QLineEdit* PasswordEdit;
    QPushButton* OkButton;
    QPushButton* CancelButton;

private:
    bool passwordUsable();
};

} // namespace mirel::engine::ui
