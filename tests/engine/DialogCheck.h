#pragma once
// Checks shared by the tests of the designer's dialogs: controls cut by their
// parent or too small for their caption, a picture of the dialog for a person
// to look at, and a designer context that records what an editor asked of it.

#include "core/Encoding.h"
#include "template/TfrView.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <functional>
#include <vector>

namespace mirel::test {

// The visible controls that do not fit: outside their parent's area, or with a
// caption wider than the control shows it. Each as "name: why".
inline QStringList cutControls(QWidget& dialog) {
    QStringList problems;
    dialog.ensurePolished();
    if (dialog.layout())
        dialog.layout()->activate();
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&dialog) || w->isWindow() || !w->parentWidget())
            continue;
        const QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                       : w->objectName();
        const QRect area = w->parentWidget()->rect();
        if (!area.contains(w->geometry()))
            problems << QStringLiteral("%1: outside its parent (%2,%3 %4x%5)")
                            .arg(name)
                            .arg(w->x())
                            .arg(w->y())
                            .arg(w->width())
                            .arg(w->height());
        const bool captioned = qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w)
                            || qobject_cast<QRadioButton*>(w) || qobject_cast<QPushButton*>(w);
        if (captioned && !(qobject_cast<QLabel*>(w) && qobject_cast<QLabel*>(w)->wordWrap())) {
            const QSize hint = w->minimumSizeHint().expandedTo(w->sizeHint());
            // Push buttons have generous margins in their hint; their text is what must fit.
            int need = hint.width();
            if (auto* b = qobject_cast<QPushButton*>(w))
                need = b->fontMetrics().horizontalAdvance(b->text().remove(QLatin1Char('&'))) + 8;
            if (need > w->width())
                problems << QStringLiteral("%1: needs %2 pixels, has %3").arg(name).arg(need).arg(w->width());
        }
    }
    return problems;
}

// Saves a picture of the dialog when MIREL_SCREENSHOTS names a folder.
inline void saveScreenshot(QWidget& dialog, const QString& name) {
    const QString folder = qEnvironmentVariable("MIREL_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    dialog.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// A designer as an object editor sees it: records the undo points (with what
// `snapshot` tells about the object at that moment) and answers the expression
// builder and the data-field chooser from the test's texts.
struct RecordingDesigner final : tmpl::DesignerContext {
    QWidget* window = nullptr;
    std::function<QString()> snapshot;
    QStringList undoPoints;
    AnsiString expression;     // the builder's answer; empty: cancelled
    AnsiString field;          // the chooser's answer; empty: cancelled
    int expressionAsked = 0;

    QWidget* Window() override { return window; }
    void AddUndoPoint() override { undoPoints << (snapshot ? snapshot() : QString()); }
    bool ChooseExpression(AnsiString& text) override {
        ++expressionAsked;
        text = expression;
        return !expression.empty();
    }
    bool ChooseDataField(AnsiString& text) override {
        text = field;
        return !field.empty();
    }
};

} // namespace mirel::test
