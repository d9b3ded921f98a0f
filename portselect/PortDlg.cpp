#include "portselect/PortDlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "portselect/PortEnumeration.h"
#include "portselect/SysfsPortSource.h"

namespace {

PortDlg::ModalHook& ModalHookSlot() {
    static PortDlg::ModalHook hook;
    return hook;
}

}  // namespace

PortDlg::PortDlg(QWidget* parent) : QDialog(parent), m_pPortSource(&SystemPortSource()) {
    setWindowTitle(QStringLiteral("Tralvo COM Port"));

    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("1"));
    okButton->setDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("2"));

    m_editPort = new QLineEdit(this);
    m_editPort->setObjectName(QStringLiteral("1016"));
    m_editPort->setReadOnly(true);
    m_editPort->setFocusPolicy(Qt::ClickFocus);

    m_listPorts = new QListWidget(this);
    m_listPorts->setObjectName(QStringLiteral("1018"));
    m_listPorts->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listPorts->setSortingEnabled(false);  // the list keeps the order by port number

    m_checkFenwexPort = new QCheckBox(QStringLiteral("Set to Fenwex COM Port"), this);
    m_checkFenwexPort->setObjectName(QStringLiteral("1022"));
    m_checkFenwexPort->setChecked(false);
    m_checkFenwexPort->setVisible(false);

    auto* fields = new QVBoxLayout;
    fields->addWidget(new QLabel(QStringLiteral("Current COM Port:"), this));
    fields->addWidget(m_editPort);
    fields->addWidget(new QLabel(QStringLiteral("Available COM Ports:"), this));
    fields->addWidget(m_listPorts);
    fields->addWidget(m_checkFenwexPort);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, &PortDlg::OnOK);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_listPorts, &QListWidget::itemDoubleClicked, this, &PortDlg::OnDblclkPortList);
}

void PortDlg::SetPortSource(const IPortSource& source) { m_pPortSource = &source; }

int PortDlg::DoModal() {
    if (const ModalHook& hook = ModalHookSlot()) return hook(*this);
    return RunModal();
}

int PortDlg::RunModal() {
    if (OnInitDialog()) {
        if (QWidget* first = nextInFocusChain()) first->setFocus();
    }
    return exec();
}

void PortDlg::SetModalHook(ModalHook hook) { ModalHookSlot() = std::move(hook); }

bool PortDlg::OnInitDialog() {
    UpdateData(false);
    const PortEnumeration ports = EnumeratePorts(*m_pPortSource);
    m_listPorts->clear();
    for (const PortEntry& entry : ports.entries) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry.text), m_listPorts);
        item->setData(Qt::UserRole, entry.number);
    }
    return ports.complete;
}

void PortDlg::OnDblclkPortList() {
    const QList<QListWidgetItem*> selected = m_listPorts->selectedItems();
    if (selected.isEmpty()) return;
    m_strPort = selected.first()->text();
    UpdateData(false);
    m_editPort->repaint();
}

void PortDlg::OnOK() {
    if (const QList<QListWidgetItem*> selected = m_listPorts->selectedItems();
        !selected.isEmpty()) {
        m_strPort = selected.first()->text();
    }
    m_bSetFenwexPort = m_checkFenwexPort->isChecked();
    UpdateData(false);
    UpdateData(true);
    accept();
}

void PortDlg::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        m_strPort = m_editPort->text();
    } else {
        m_editPort->setText(m_strPort);
    }
}
