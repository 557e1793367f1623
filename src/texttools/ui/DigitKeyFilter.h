#pragma once
// The pages and labels-per-page fields take typed digits only.

#include <QObject>

class QKeyEvent;

namespace mirel::texttools {

// Lets through typed characters only when they are the digits 0-9, Backspace,
// or copy, paste and cut (Ctrl+C, Ctrl+V, Ctrl+X: character codes 3, 22, 24);
// every other typed character is dropped. Keys that type nothing (arrows,
// Delete, Home, Tab) are not characters and pass.
class DigitKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    static bool accepts(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace mirel::texttools
