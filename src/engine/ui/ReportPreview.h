#pragma once
// Preparing a template and showing its labels in one step: the designer's
// preview of the template it edits, and any window that wants the labels of
// a template on screen without running a label job.

#include "engine/ReportPreparer.h"
#include "engine/ui/TfrPreviewForm.h"

namespace mirel::engine {

// Prepares `report` with `setup` (its progress callback is replaced by a
// progress window with a cancel button) and shows the labels in the modal
// preview. A preparation that fails is shown as a message ("错误") and one
// that builds no page as a note ("提示"); neither opens the preview, nor does
// a cancelled one. Returns the pages printed from the preview, -1 when no
// preview was shown.
int previewReport(tmpl::TfrReport& report, PrepareSetup setup, const PreviewOptions& options,
                  QWidget* parent = nullptr);

// The options of the designer's preview: every button, the caption the
// template's report name gives ("预览 - 名称"), or "预览".
PreviewOptions designerPreviewOptions(const tmpl::TfrReport& report);

} // namespace mirel::engine
