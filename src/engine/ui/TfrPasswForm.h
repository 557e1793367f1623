#pragma once
// TfrPasswForm: the question a password-protected template asks when it is
// opened from a file (caption "Password").

#include "core/Encoding.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace mirel::engine {

class TfrPasswForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrPasswForm(QWidget* parent = nullptr);

    // The entered text in the code page, as the template stores passwords.
    AnsiString Password() const;

    QLineEdit* Edit1;
    QPushButton* Button1;   // OK
    QPushButton* Button2;   // Cancel
};

} // namespace mirel::engine
