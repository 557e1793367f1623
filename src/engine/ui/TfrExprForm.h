#pragma once
// TfrExprForm: the designer's expression builder. The operator edits a text
// (an expression, or a memo line with bracketed expressions) and inserts, at
// the cursor, names picked from lists: the host's label variables, the
// dictionary's variables, the system variables, the datasets' fields and the
// functions with their argument hints. Names and fields go in as bracketed
// terms ("[条形码编号]", "[frDBDataSet1."NO"]"), which are valid both in a memo
// line and inside an expression; a function goes in as "NAME()" inside a
// bracket, or as "[NAME()]" outside one, with the cursor between the
// parentheses.

#include "engine/ui/DesignerDialogs.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace mirel::engine::ui {

class TfrExprForm : public QDialog {
    Q_OBJECT
public:
    TfrExprForm(const ExpressionSources& sources, QWidget* parent = nullptr);

    // The category lists: "标签变量", "字典变量", "系统变量", one per dataset, "函数".
    QStringList Categories() const;
    void ShowCategory(int index);
    // Inserts the chosen item of the item list at the cursor.
    void InsertItem();
    // Why the text cannot be taken (a bracketed term that does not parse), or
    // empty; OK refuses such a text with a message.
    QString Problem() const;
    // Inserts a text at the cursor, replacing a selection.
    void InsertText(const QString& text, int cursorBack = 0);

    QLineEdit* ExprEdit;
    QListWidget* CategoryList;
    QListWidget* ItemList;
    QLabel* HintLabel;
    QPushButton* InsertButton;
    QPushButton* OkButton;
    QPushButton* CancelButton;

private:
    enum class Kind { Name, Field, Function };
    struct Category {
        QString title;
        Kind kind;
        QString dataset;
        QStringList items;
    };
    void itemChanged();

    std::vector<Category> m_categories;
};

// The system variables the expression builder offers, and the functions of the
// expression language with their argument hints ("COPY(s, from, count)"), for
// callers that fill ExpressionSources.
QStringList standardSystemVariables();
QStringList standardFunctionHints();

// The bracketed field reference the data-field chooser writes:
// [frDBDataSet1."NO"].
QString fieldReferenceText(const QString& dataset, const QString& field);

} // namespace mirel::engine::ui
