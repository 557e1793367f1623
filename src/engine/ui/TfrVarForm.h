#pragma once
// TfrVarForm: the designer's data dictionary editor. Variables have a name and
// a value expression and may belong to a category; the dictionary keeps them as
// one list in which a category is an entry whose name begins with one blank and
// the variables after it belong to it. Variables before the first category
// belong to none.

#include "engine/ui/DesignerDialogs.h"
#include "template/TfrDataDictionary.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace mirel::engine::ui {

class TfrVarForm : public QDialog {
    Q_OBJECT
public:
    TfrVarForm(const ExpressionSources& sources, QWidget* parent = nullptr);

    void Load(const tmpl::TfrDataDictionary& dictionary);
    // The variables list as the dictionary stores it.
    tmpl::DictionaryList Variables() const;
    // Names that are empty or used twice, as the message that says so; empty
    // when the list can be stored.
    QString Problem() const;

    void AddCategoryClick();
    void AddVariableClick();    // into the current category, or at the top
    void DeleteClick();         // a category goes with its variables
    void ExprButtonClick();     // the expression builder on the value

    QTreeWidget* VarTree;
    QLineEdit* NameEdit;
    QLineEdit* ValueEdit;
    QPushButton* ExprButton;
    QPushButton* AddCategoryButton;
    QPushButton* AddVariableButton;
    QPushButton* DeleteButton;
    QPushButton* OkButton;
    QPushButton* CancelButton;

private:
    void currentChanged();
    QString unusedName(const QString& base) const;

    const ExpressionSources& m_sources;
};

} // namespace mirel::engine::ui
