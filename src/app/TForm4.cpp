#include "app/TForm4.h"

#include "app/Pictures.h"
#include "codes/CodeStore.h"
#include "core/HomeFolder.h"
#include "core/ui/Dialogs.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <exception>

namespace mirel::app {
namespace {

constexpr int kBannerHeight = 78;

QLabel* caption(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLineEdit* edit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

} // namespace

TForm4::TForm4(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QString::fromUtf8(kBackupTitle));
    setFixedSize(kBackupWidth, kBackupHeight);

    Button1 = new QPushButton(QStringLiteral("应用防伪数据"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    Button1->setIcon(glyphIcon(Glyph::Shield, palette::kBrand));
    Button1->setMinimumHeight(30);
    Edit1 = edit(this, "Edit1");
    Edit2 = edit(this, "Edit2");
    DateEdit1 = new QDateEdit(QDate::currentDate(), this);
    DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    DateEdit1->setCalendarPopup(true);
    DateEdit1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));

    GroupBox1 = new QGroupBox(QStringLiteral("测试"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Edit3 = edit(GroupBox1, "Edit3");
    Button2 = new QPushButton(QStringLiteral("验证"), GroupBox1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setAutoDefault(false);
    Label5 = caption(GroupBox1, "Label5", QStringLiteral("验证结果:"));
    auto* test = new QGridLayout(GroupBox1);
    test->addWidget(caption(GroupBox1, "Label4", QStringLiteral("输入防伪码")), 0, 0);
    test->addWidget(Edit3, 0, 1);
    test->addWidget(Button2, 0, 2);
    test->addWidget(Label5, 1, 0, 1, 3);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(8);
    fields->addWidget(caption(this, "Label1", QStringLiteral("产品名称:")), 0, 0);
    fields->addWidget(Edit1, 0, 1);
    fields->addWidget(caption(this, "Label2", QStringLiteral("生产日期:")), 1, 0);
    fields->addWidget(DateEdit1, 1, 1);
    fields->addWidget(caption(this, "Label3", QStringLiteral("产品批号:")), 2, 0);
    fields->addWidget(Edit2, 2, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(Button1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, kBannerHeight + 14, 18, 14);
    layout->setSpacing(12);
    layout->addLayout(fields);
    layout->addWidget(GroupBox1);
    layout->addStretch();
    layout->addLayout(bottom);

    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm4::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette::kPanel);
    paintBanner(p, QRectF(0, 0, width(), kBannerHeight), Glyph::Shield, QStringLiteral("应用防伪序列"),
                QStringLiteral("备份防伪码数据库，保存本批标签的防伪序列"));
}

void TForm4::Button1Click() {
    emit backupStarting();
    ui::FileDialogOptions options;
    options.title = QStringLiteral("备份防伪码数据库");
    options.filter = QStringLiteral("防伪码数据库|*.mdb");
    options.defaultSuffix = QStringLiteral("mdb");
    options.initialFolder = core::homePath(QStringLiteral("db"));
    if (const std::optional<QString> target = ui::dialogs().saveFile(this, options)) {
        bool copied = false;
        if (m_store) {
            try {
                m_store->backupTo(*target);
                copied = true;
            } catch (const std::exception&) {
                // An existing target, a folder that cannot be written: the
                // operator is told the backup failed; the store is unchanged.
            }
        }
        ui::dialogs().message(this, copied ? QStringLiteral("备份成功！") : QStringLiteral("备份失败！"),
                              QStringLiteral("提示"), ui::MessageIcon::Exclamation);
    }
    emit backupFinished();
}

} // namespace mirel::app
