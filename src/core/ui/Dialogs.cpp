#include "core/ui/Dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace mirel::ui {
namespace {

Dialogs*& current() {
    static Dialogs* replacement = nullptr;
    return replacement;
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None: return QMessageBox::NoIcon;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok: return QMessageBox::Ok;
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

void setUp(QFileDialog& dialog, const FileDialogOptions& options) {
    dialog.setWindowTitle(options.title);
    dialog.setNameFilter(qtNameFilter(options.filter));
    if (!options.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(options.defaultSuffix);
    if (!options.initialFolder.isEmpty())
        dialog.setDirectory(options.initialFolder);
    if (!options.initialName.isEmpty())
        dialog.selectFile(options.initialName);
}

} // namespace

Dialogs& dialogs() {
    static QtDialogs qtDialogs;
    return current() ? *current() : qtDialogs;
}

void setDialogs(Dialogs* replacement) { current() = replacement; }

QString qtNameFilter(const QString& storedFilter) {
    const QStringList parts = storedFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt takes the patterns from the last parentheses of a filter line.
        if (description.endsWith(QLatin1Char(')')) && description.contains(QLatin1Char('(')))
            filters << description;
        else
            filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    if (filters.isEmpty() && !storedFilter.isEmpty())
        filters << storedFilter;
    return filters.join(QLatin1String(";;"));
}

MessageResult QtDialogs::message(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
                                 MessageButtons buttons) {
    QMessageBox box(qtIcon(icon), caption, text, qtButtons(buttons), parent);
    switch (box.exec()) {
    case QMessageBox::Ok: return MessageResult::Ok;
    case QMessageBox::Yes: return MessageResult::Yes;
    case QMessageBox::No: return MessageResult::No;
    default: return MessageResult::Cancel;
    }
}

std::optional<QString> QtDialogs::openFile(QWidget* parent, const FileDialogOptions& options) {
    QFileDialog dialog(parent);
    setUp(dialog, options);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::saveFile(QWidget* parent, const FileDialogOptions& options) {
    QFileDialog dialog(parent);
    setUp(dialog, options);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

int QtDialogs::exec(QDialog& dialog) { return dialog.exec(); }

ScriptedDialogs::ScriptedDialogs() { setDialogs(this); }

ScriptedDialogs::~ScriptedDialogs() {
    if (current() == this)
        setDialogs(nullptr);
}

void ScriptedDialogs::clear() {
    m_messageAnswers.clear();
    m_fileAnswers.clear();
    m_dialogAnswers.clear();
    m_messages.clear();
    m_fileQuestions.clear();
    m_dialogsShown.clear();
}

MessageResult ScriptedDialogs::message(QWidget*, const QString& text, const QString& caption, MessageIcon icon,
                                       MessageButtons buttons) {
    m_messages.push_back({text, caption, icon, buttons});
    if (m_messageAnswers.empty())
        return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? MessageResult::Yes
                                                                                          : MessageResult::Ok;
    const MessageResult result = m_messageAnswers.front();
    m_messageAnswers.pop_front();
    return result;
}

std::optional<QString> ScriptedDialogs::nextFile(bool save, const FileDialogOptions& options) {
    m_fileQuestions.push_back({save, options});
    if (m_fileAnswers.empty())
        return std::nullopt;
    std::optional<QString> answer = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    // A save dialog adds its default extension to a name typed without one.
    if (answer && save && !options.defaultSuffix.isEmpty() && !answer->section(QLatin1Char('/'), -1).contains(QLatin1Char('.')))
        *answer += QLatin1Char('.') + options.defaultSuffix;
    return answer;
}

std::optional<QString> ScriptedDialogs::openFile(QWidget*, const FileDialogOptions& options) { return nextFile(false, options); }

std::optional<QString> ScriptedDialogs::saveFile(QWidget*, const FileDialogOptions& options) { return nextFile(true, options); }

int ScriptedDialogs::exec(QDialog& dialog) {
    m_dialogsShown << dialog.objectName();
    if (m_dialogAnswers.empty())
        return QDialog::Rejected;
    auto handler = std::move(m_dialogAnswers.front());
    m_dialogAnswers.pop_front();
    return handler(dialog);
}

} // namespace mirel::ui
