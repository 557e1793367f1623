#include "engine/ui/ReportDesigner.h"

#include "core/ui/Dialogs.h"
#include "engine/LabelJob.h"
#include "engine/ui/TfrDesignerForm.h"

namespace mirel::engine::ui {

bool designReport(QWidget* parent, LabelJob& job, const QString& templatePath) {
    TfrDesignerForm form(job, templatePath, parent);
    mirel::ui::dialogs().exec(form);
    return form.SavedOnce();
}

} // namespace mirel::engine::ui
