#include "app/AboutDlg.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "app/AppIcon.h"
#include "app/DialogUnits.h"
#include "app/Resource.h"

namespace {

constexpr int kWidthDlu = 235;
constexpr int kHeightDlu = 114;
constexpr int kTextLeftDlu = 40;
constexpr int kTextWidthDlu = 188;
constexpr int kFirstMakerLineDlu = 30;
constexpr int kLineStepDlu = 11;

constexpr const char* kMakerLines[] = {
    "Brenlow makes test tools for HART field instruments",
    "and for the modems that connect them to a computer.",
    "Copyright (C) 2026 Brenlow. All rights reserved.",
    "Support: support@brenlow.com",
    "https://brenlow.com/tralvo",
};

QLabel* AddLabel(QWidget* parent, const DialogUnits& units, const QString& text, int yDlu) {
    auto* label = new QLabel(text, parent);
    QRect geometry = units.ToPixels({kTextLeftDlu, yDlu, kTextWidthDlu, 8});
    // A wider font than the layout was made for widens the line rather than cutting it.
    geometry.setWidth(std::max(geometry.width(), label->sizeHint().width()));
    label->setGeometry(geometry);
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QString::number(IDD_ABOUTBOX));
    setWindowTitle(QStringLiteral("About Tralvo"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    const DialogUnits units(font());

    auto* icon = new QLabel(this);
    const QRect iconRect = units.ToPixels({11, 14, 21, 20});
    icon->setGeometry(iconRect);
    icon->setPixmap(TralvoIcon().pixmap(32, 32));

    AddLabel(this, units, QStringLiteral("Tralvo Version 1.8"), 14)->setObjectName("version");
    int y = kFirstMakerLineDlu;
    for (const char* line : kMakerLines) {
        AddLabel(this, units, QString::fromUtf8(line), y);
        y += kLineStepDlu;
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QString::number(IDOK));
    ok->setGeometry(units.ToPixels({178, 93, 50, 14}));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    int width = units.ToPixelsX(kWidthDlu);
    for (const QLabel* label : findChildren<QLabel*>()) {
        width = std::max(width, label->geometry().right() + units.ToPixelsX(7));
    }
    ok->move(width - units.ToPixelsX(57), ok->y());
    setFixedSize(width, units.ToPixelsY(kHeightDlu));
}

int CAboutDlg::DoModal(const ModalAnswer& answer) { return answer ? answer(*this) : exec(); }
