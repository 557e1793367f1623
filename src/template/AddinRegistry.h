#pragma once
// The add-in classes the reader can create for records of type code 10, with
// the designer's tool-button picture and hint of each. Filled at start-up in
// registration order, which is the order a class name is searched in. The
// general-purpose add-ins (shape, rounded rectangle, check box, rich text, OLE,
// chart, cross-tab) are registered when the registry is first used; the
// barcode and PDF417 objects register themselves at program start.

#include "template/TfrView.h"

#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mirel::tmpl {

struct AddinClass {
    std::string className;   // as stored in templates, compared exactly
    std::function<std::unique_ptr<TfrView>()> create;
    QImage buttonPicture;    // the designer's tool button
    QString hint;            // the button's hint, e.g. "插入 Barcode 对象"
};

class AddinRegistry {
public:
    AddinRegistry();

    // Adds a class; a second registration of the same name replaces the first
    // in its place.
    void Register(AddinClass addin);
    // The first class whose name equals `className` exactly (letter case counts).
    const AddinClass* Find(std::string_view className) const;
    const std::vector<AddinClass>& Classes() const { return m_classes; }

private:
    std::vector<AddinClass> m_classes;
};

// The registry of the process.
AddinRegistry& addinRegistry();

} // namespace mirel::tmpl
