#include "texttools/ui/DigitKeyFilter.h"

#include <QKeyEvent>

namespace mirel::texttools {

bool DigitKeyFilter::accepts(const QKeyEvent& event) {
    if (event.matches(QKeySequence::Copy) || event.matches(QKeySequence::Paste) || event.matches(QKeySequence::Cut))
        return true;
    switch (event.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        break;
    }
    const QString text = event.text();
    if (text.isEmpty())
        return true;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (!((c >= u'0' && c <= u'9') || c == 8 || c == 3 || c == 22 || c == 24))
            return false;
    }
    return true;
}

bool DigitKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && !accepts(*static_cast<QKeyEvent*>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace mirel::texttools
