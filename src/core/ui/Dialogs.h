#pragma once
// Every modal question a window asks goes through this interface: message boxes,
// open and save dialogs, and the program's own modal dialogs. The Qt
// implementation shows real dialogs; ScriptedDialogs answers from a script so
// tests press real buttons and still get past the questions.

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QDialog;
class QWidget;

namespace mirel::ui {

enum class MessageIcon { None, Information, Exclamation, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageResult { Ok, Cancel, Yes, No };

// An open or save dialog. `filter` is in the stored "description|pattern" form
// ("条形码文件(*.frf)|*.frf", several pairs joined by '|'); `defaultSuffix` is added
// to a typed name without extension ("txt", no dot).
struct FileDialogOptions {
    QString title;
    QString filter;
    QString defaultSuffix;
    QString initialFolder;
    QString initialName;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageResult message(QWidget* parent, const QString& text, const QString& caption,
                                  MessageIcon icon = MessageIcon::None,
                                  MessageButtons buttons = MessageButtons::Ok) = 0;
    // The chosen path, or nothing when the operator cancels.
    virtual std::optional<QString> openFile(QWidget* parent, const FileDialogOptions& options) = 0;
    virtual std::optional<QString> saveFile(QWidget* parent, const FileDialogOptions& options) = 0;
    // Runs a modal dialog of the program's own (connection editor, password,
    // expression builder...) and returns its QDialog result code.
    virtual int exec(QDialog& dialog) = 0;
};

// The process-wide dialogs the windows use: the Qt implementation unless a test
// installed another one (not owned; pass nullptr to restore the Qt one).
Dialogs& dialogs();
void setDialogs(Dialogs* replacement);

// "条形码文件(*.frf)|*.frf" -> "条形码文件(*.frf)", "TXT|*.TXT" -> "TXT (*.TXT)";
// pairs become lines of a Qt name filter.
QString qtNameFilter(const QString& storedFilter);

class QtDialogs final : public Dialogs {
public:
    MessageResult message(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
                          MessageButtons buttons) override;
    std::optional<QString> openFile(QWidget* parent, const FileDialogOptions& options) override;
    std::optional<QString> saveFile(QWidget* parent, const FileDialogOptions& options) override;
    int exec(QDialog& dialog) override;
};

// Answers from queues filled by the test and records every question asked.
// A question with no scripted answer is recorded and answered with the default
// (OK / Yes for messages, cancel for file dialogs, reject for dialogs).
class ScriptedDialogs final : public Dialogs {
public:
    struct Message {
        QString text;
        QString caption;
        MessageIcon icon;
        MessageButtons buttons;
    };
    struct FileQuestion {
        bool save;
        FileDialogOptions options;
    };

    // Installs itself as dialogs() for its lifetime.
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    void answerMessage(MessageResult result) { m_messageAnswers.push_back(result); }
    void answerFile(std::optional<QString> path) { m_fileAnswers.push_back(std::move(path)); }
    // The handler fills the dialog's fields and returns the result code to give
    // (QDialog::Accepted / Rejected); it may also press the dialog's buttons.
    void answerDialog(std::function<int(QDialog&)> handler) { m_dialogAnswers.push_back(std::move(handler)); }

    const std::vector<Message>& messages() const { return m_messages; }
    const std::vector<FileQuestion>& fileQuestions() const { return m_fileQuestions; }
    QStringList dialogsShown() const { return m_dialogsShown; }   // objectName of each
    void clear();

    MessageResult message(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
                          MessageButtons buttons) override;
    std::optional<QString> openFile(QWidget* parent, const FileDialogOptions& options) override;
    std::optional<QString> saveFile(QWidget* parent, const FileDialogOptions& options) override;
    int exec(QDialog& dialog) override;

private:
    std::optional<QString> nextFile(bool save, const FileDialogOptions& options);

    std::deque<MessageResult> m_messageAnswers;
    std::deque<std::optional<QString>> m_fileAnswers;
    std::deque<std::function<int(QDialog&)>> m_dialogAnswers;
    std::vector<Message> m_messages;
    std::vector<FileQuestion> m_fileQuestions;
    QStringList m_dialogsShown;
};

} // namespace mirel::ui
