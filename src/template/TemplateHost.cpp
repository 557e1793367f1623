#include "template/TemplateHost.h"

namespace mirel::tmpl {

QString nonPluggedMessage(const std::vector<AnsiString>& classNames) {
    QString text = QStringLiteral("Report contains the following non-plugged components:\r");
    for (const AnsiString& name : classNames)
        text += core::toUnicode(name) + QLatin1Char('\r');
    text += QStringLiteral("You must include these components into your project.");
    return text;
}

} // namespace mirel::tmpl
