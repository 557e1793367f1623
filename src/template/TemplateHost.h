#pragma once
// How the template reader reaches the operator: the message boxes it shows and
// the password question. The windows show real dialogs (engine/ui), mirel-cli
// prints and takes --password, tests record.

#include "core/Encoding.h"

#include <QString>
#include <optional>
#include <vector>

namespace mirel::tmpl {

// The texts the reader shows.
inline const QString kErrorCaption = QStringLiteral("错误");
inline const QString kUnsupportedFormat = QStringLiteral("不支持的FRF格式");
// "Report contains the following non-plugged components:" CR, each name and CR,
// then "You must include these components into your project."
QString nonPluggedMessage(const std::vector<AnsiString>& classNames);

class TemplateHost {
public:
    virtual ~TemplateHost() = default;
    // A message box with the error icon and an OK button.
    virtual void ShowError(const QString& text, const QString& caption) = 0;
    // The password dialog (TfrPasswForm); nothing when the operator cancels.
    virtual std::optional<AnsiString> AskPassword() = 0;
};

// Records what the reader showed and answers the password question from a
// prepared answer (nothing: cancel).
class RecordingHost final : public TemplateHost {
public:
    struct Message {
        QString text;
        QString caption;
    };

    explicit RecordingHost(std::optional<AnsiString> password = std::nullopt) : m_password(std::move(password)) {}

    void ShowError(const QString& text, const QString& caption) override { m_messages.push_back({text, caption}); }
    std::optional<AnsiString> AskPassword() override {
        ++m_passwordQuestions;
        return m_password;
    }

    const std::vector<Message>& Messages() const { return m_messages; }
    int PasswordQuestions() const { return m_passwordQuestions; }

private:
    std::optional<AnsiString> m_password;
    std::vector<Message> m_messages;
    int m_passwordQuestions = 0;
};

} // namespace mirel::tmpl
