#include "engine/ui/DesignerUndo.h"

#include "template/TfrReport.h"

namespace mirel::engine::ui {

DesignerSnapshot DesignerSnapshot::Take(const tmpl::TfrReport& report) {
    DesignerSnapshot s;
    tmpl::RecordWriter out;
    out.WriteInt(static_cast<std::int32_t>(report.Pages.Count()));
    for (const auto& page : report.Pages) {
        page->WriteRecord(out);
        out.WriteInt(static_cast<std::int32_t>(page->Objects.size()));
        for (const auto& view : page->Objects) {
            out.WriteByte(static_cast<std::uint8_t>(view->TypeCode()));
            out.WriteCountedString(view->ClassName());
            const size_t end = out.WritePlaceholder();
            view->WriteRecord(out);
            out.PatchEndOffset(end);
        }
    }
    s.m_pages = out.TakeBytes();
    s.m_dictionary = report.Dictionary;
    s.m_options = Options{report.PrintToDefault, report.DoublePass, report.Comment, report.ReportName,
                          report.Author,         report.VMajor,     report.VMinor,  report.VRelease,
                          report.VBuild,         report.Password,   report.PasswordProtected};
    return s;
}

void DesignerSnapshot::Restore(tmpl::TfrReport& report) const {
    report.Pages.Clear();
    tmpl::RecordReader in(m_pages);
    const std::int32_t pages = in.ReadInt();
    for (std::int32_t p = 0; p < pages && !in.AtEnd(); ++p) {
        auto page = std::make_unique<tmpl::TfrPage>();
        page->ReadRecord(in);
        const std::int32_t objects = in.ReadInt();
        for (std::int32_t o = 0; o < objects && !in.AtEnd(); ++o) {
            const int typeCode = in.ReadByte();
            const AnsiString className = in.ReadCountedString();
            const std::int32_t end = in.ReadInt();
            // Every object of a snapshot was made by this process, so its class exists.
            if (auto view = tmpl::createView(typeCode, className)) {
                view->ReadRecord(in);
                page->Objects.push_back(std::move(view));
            }
            in.Seek(static_cast<size_t>(end));
        }
        report.Pages.Append(std::move(page));
    }
    report.Dictionary = m_dictionary;
    report.PrintToDefault = m_options.printToDefault;
    report.DoublePass = m_options.doublePass;
    report.Comment = m_options.comment;
    report.ReportName = m_options.reportName;
    report.Author = m_options.author;
    report.VMajor = m_options.vMajor;
    report.VMinor = m_options.vMinor;
    report.VRelease = m_options.vRelease;
    report.VBuild = m_options.vBuild;
    report.Password = m_options.password;
    report.PasswordProtected = m_options.passwordProtected;
}

void DesignerUndoStack::Push(DesignerSnapshot before) {
    m_undo.push_back(std::move(before));
    if (m_undo.size() > kLimit)
        m_undo.pop_front();
    m_redo.clear();
}

std::optional<DesignerSnapshot> DesignerUndoStack::Undo(DesignerSnapshot current) {
    if (m_undo.empty())
        return std::nullopt;
    DesignerSnapshot back = std::move(m_undo.back());
    m_undo.pop_back();
    m_redo.push_back(std::move(current));
    return back;
}

std::optional<DesignerSnapshot> DesignerUndoStack::Redo(DesignerSnapshot current) {
    if (m_redo.empty())
        return std::nullopt;
    DesignerSnapshot forward = std::move(m_redo.back());
    m_redo.pop_back();
    m_undo.push_back(std::move(current));
    return forward;
}

void DesignerUndoStack::Clear() {
    m_undo.clear();
    m_redo.clear();
}

} // namespace mirel::engine::ui
