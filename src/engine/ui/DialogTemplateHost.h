#pragma once
// The template reader's host for the windows: its messages are message boxes
// and its password question is TfrPasswForm, both through mirel::ui::dialogs().

#include "template/TemplateHost.h"

class QWidget;

namespace mirel::engine {

class DialogTemplateHost final : public tmpl::TemplateHost {
public:
    explicit DialogTemplateHost(QWidget* parent = nullptr) : m_parent(parent) {}

    void ShowError(const QString& text, const QString& caption) override;
    std::optional<AnsiString> AskPassword() override;

private:
    QWidget* m_parent;
};

} // namespace mirel::engine
