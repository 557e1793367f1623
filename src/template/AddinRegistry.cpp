#include "template/AddinRegistry.h"

#include "template/AddinViews.h"

#include <algorithm>

namespace mirel::tmpl {

namespace {

template <typename View>
AddinClass general(const char* hint) {
    return AddinClass{View().ClassName(), [] { return std::make_unique<View>(); }, QImage(),
                      QString::fromUtf8(hint)};
}

} // namespace

AddinRegistry::AddinRegistry() {
    Register(general<TfrShapeView>("插入图形对象"));
    Register(general<TfrRoundRectView>("插入圆角矩形对象"));
    Register(general<TfrCheckBoxView>("插入复选框对象"));
    Register(general<TfrRichView>("插入 RTF 对象"));
    Register(general<TfrOLEView>("插入 OLE 对象"));
    Register(general<TfrChartView>("插入图表对象"));
    Register(general<TfrCrossView>("插入交叉表对象"));
}

void AddinRegistry::Register(AddinClass addin) {
    const auto same = std::find_if(m_classes.begin(), m_classes.end(),
                                   [&](const AddinClass& c) { return c.className == addin.className; });
    if (same != m_classes.end())
        *same = std::move(addin);
    else
        m_classes.push_back(std::move(addin));
}

const AddinClass* AddinRegistry::Find(std::string_view className) const {
    for (const AddinClass& c : m_classes)
        if (c.className == className)
            return &c;
    return nullptr;
}

AddinRegistry& addinRegistry() {
    static AddinRegistry registry;
    return registry;
}

} // namespace mirel::tmpl
