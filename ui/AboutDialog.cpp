#include "AboutDialog.h"

#include "DialogLayout.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <string>

namespace orvalen {
namespace {

QLabel* AddLabel(QWidget& parent, const char* text, const CDialogUnits& units, int x, int y,
                 int width, int height) {
    auto* label = new QLabel(QString::fromUtf8(text), &parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    units.Place(*label, x, y, width, height);
    return label;
}

} // namespace

CAboutDialog::CAboutDialog(std::string_view codePageLine, QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("关于 Orvalen"));
    setFont(DialogFont());
    const CDialogUnits units(font());
    setFixedSize(units.Size(273, 127));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    const QRect iconRect = units.Rect(11, 17, 21, 21);
    icon->setGeometry(iconRect.topLeft().x(), iconRect.topLeft().y(), 32, 32);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/orvalen-32.png")).pixmap(32, 32));

    AddLabel(*this, "Orvalen 1.0 版", units, 46, 13, 80, 8);
    AddLabel(*this, "Copyright (C) 2026 Orvalen developers", units, 46, 29, 136, 8);
    QLabel* codePage = AddLabel(*this, std::string(codePageLine).c_str(), units, 46, 39, 136, 8);
    codePage->setObjectName(QStringLiteral("codePage"));

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    units.Place(*ok, 216, 7, 50, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    AddLabel(*this, "用法：", units, 13, 50, 28, 10);
    AddLabel(*this, "Save 按钮生成电话本导入文件（Tel_Save.tel）", units, 47, 49, 177, 12);
    AddLabel(*this, "Load 按钮打开电话本导出文件（TEL_EXPT.tel）", units, 47, 64, 180, 12);
    AddLabel(*this, "Save As 按钮生成电话信息文件（Tel_Save.txt）", units, 47, 79, 180, 12);
    QLabel* import = AddLabel(*this,
                              "预将电话本文件导入MP3小机中，必须将Tel_Save.tel文件放入MP3小机根目"
                              "录，然后进入MP3电话本模式并选择导入电话薄菜单即可",
                              units, 15, 96, 242, 17);
    import->setWordWrap(true);
    ok->setFocus(Qt::OtherFocusReason);
}

} // namespace orvalen
