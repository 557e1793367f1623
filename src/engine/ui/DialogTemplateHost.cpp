#include "engine/ui/DialogTemplateHost.h"

#include "core/ui/Dialogs.h"
#include "engine/ui/TfrPasswForm.h"

namespace mirel::engine {

void DialogTemplateHost::ShowError(const QString& text, const QString& caption) {
    ui::dialogs().message(m_parent, text, caption, ui::MessageIcon::Error, ui::MessageButtons::Ok);
}

std::optional<AnsiString> DialogTemplateHost::AskPassword() {
    TfrPasswForm form(m_parent);
    if (ui::dialogs().exec(form) != QDialog::Accepted)
        return std::nullopt;
    return form.Password();
}

} // namespace mirel::engine
