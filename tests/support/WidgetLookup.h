#pragma once
// Finding a window's controls by their object names, as the window tests drive
// them: a missing control stops the test at once with its name.

#include <QAbstractButton>
#include <QLineEdit>
#include <QString>
#include <QWidget>
#include <QtGlobal>

namespace mirel::test {

template <class T>
T* child(QWidget& form, const char* name) {
    T* widget = form.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

inline void click(QWidget& form, const char* name) { child<QAbstractButton>(form, name)->click(); }

inline void setText(QWidget& form, const char* name, const QString& text) {
    child<QLineEdit>(form, name)->setText(text);
}

} // namespace mirel::test
