#pragma once
// The label designer as a design job opens it: the modal TfrDesignerForm on
// the engine's template. The designer edits job.Report in place (the engine
// keeps the template from one job to the next), saves it to its file, and
// previews it through the job's datasets and label variables.

#include <QString>

class QWidget;

namespace mirel::engine {
class LabelJob;
}

namespace mirel::engine::ui {

// Opens the designer on `job.Report`, whose file is `templatePath` (empty: a
// template never saved; "保存" then asks for a name). Returns when the
// operator closes the designer; true when the template was saved at least once.
bool designReport(QWidget* parent, LabelJob& job, const QString& templatePath);

} // namespace mirel::engine::ui
