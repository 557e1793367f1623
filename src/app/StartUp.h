#pragma once
// What the program does once before its main window: the add-in objects
// registered with the report engine, the printer layer ready, the home folder
// laid out.

#include <QString>

namespace mirel::app {

// Registers the barcode and PDF417 objects as add-ins (with their tool-button
// pictures and hints) and installs the printer layer over the machine's
// printers, the virtual printer "虚拟打印机" being current when there is none.
// Needs a QGuiApplication; calling it again changes nothing.
void startEngine();

// Lays out the home folder on first start: the folders 模板 and db, and the
// default templates of `shippedTemplates` (the 模板 folder beside the
// executable) copied into home's 模板 when the home folder is elsewhere, each
// only when home has no file of that name (an operator's edited template is
// never replaced). A missing shipped folder is no error. The code store is
// made empty by the main window when it first opens it. Returns the names of
// the templates copied.
QStringList prepareHomeFolder(const QString& home, const QString& shippedTemplates);

} // namespace mirel::app
