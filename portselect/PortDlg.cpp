#include "portselect/PortDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "portselect/PortChangeWatch.h"
#include "portselect/PortEnumeration.h"
#include "portselect/SystemPorts.h"

namespace {

// The words of the entries' descriptions that are this program's, for the Chinese
// interface; the template's own texts stay English.
[[maybe_unused]] constexpr const char* kDescriptionWords[] = {
    QT_TRANSLATE_NOOP("PortDlg", "Communications Port"),
    QT_TRANSLATE_NOOP("PortDlg", "Virtual Serial Port"),
    QT_TRANSLATE_NOOP("PortDlg", "serial"),
};

std::string DescriptionWord(const char* english) {
    return QCoreApplication::translate("PortDlg", english).toStdString();
}

// Draws an entry as two lines: its text in bold with what the port is beside it, and
// under them, dimmer, where it is.
class PortEntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QFontMetrics metrics(opt.font);
        const int lines = index.data(PortDlg::kLocationRole).toString().isEmpty() ? 1 : 2;
        const int width = metrics.horizontalAdvance(
            opt.text + QStringLiteral("   ") + index.data(PortDlg::kDescriptionRole).toString());
        return {width + 2 * kMargin, lines * metrics.lineSpacing() + 2 * kMargin};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QString name = opt.text;
        opt.text.clear();  // the style draws the panel, selection and focus; the text is ours
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const bool selected = opt.state & QStyle::State_Selected;
        const QPalette::ColorGroup group =
            opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        const QColor text =
            opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
        QColor dim = text;
        dim.setAlphaF(0.65);

        const QRect area = opt.rect.adjusted(kMargin, kMargin, -kMargin, -kMargin);
        QFont bold = opt.font;
        bold.setBold(true);
        const QFontMetrics boldMetrics(bold);
        const QFontMetrics metrics(opt.font);
        painter->save();
        painter->setFont(bold);
        painter->setPen(text);
        const QRect firstLine(area.left(), area.top(), area.width(), metrics.lineSpacing());
        painter->drawText(firstLine, Qt::AlignLeft | Qt::AlignVCenter,
                          boldMetrics.elidedText(name, Qt::ElideRight, area.width()));
        const int nameWidth = boldMetrics.horizontalAdvance(name + QStringLiteral("   "));
        const QString description = index.data(PortDlg::kDescriptionRole).toString();
        if (!description.isEmpty() && nameWidth < area.width()) {
            painter->setFont(opt.font);
            painter->drawText(
                firstLine.adjusted(nameWidth, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                metrics.elidedText(description, Qt::ElideRight, area.width() - nameWidth));
        }
        const QString location = index.data(PortDlg::kLocationRole).toString();
        if (!location.isEmpty()) {
            painter->setFont(opt.font);
            painter->setPen(dim);
            const QRect secondLine = firstLine.translated(0, metrics.lineSpacing());
            painter->drawText(secondLine, Qt::AlignLeft | Qt::AlignVCenter,
                              metrics.elidedText(location, Qt::ElideMiddle, area.width()));
        }
        painter->restore();
    }

private:
    static constexpr int kMargin = 3;
};

}  // namespace

PortDlg::PortDlg(QWidget* parent) : QDialog(parent), m_pPortSource(&SystemPortSource()) {
    setWindowTitle(QStringLiteral("Tralvo COM Port"));

    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("1"));
    okButton->setDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("2"));
    // Not part of template 104: lists the ports again, as opening the dialog does.
    m_buttonRefresh = new QPushButton(QStringLiteral("Refresh"), this);
    m_buttonRefresh->setObjectName(QStringLiteral("Refresh"));
    m_buttonRefresh->setAutoDefault(false);

    m_editPort = new QLineEdit(this);
    m_editPort->setObjectName(QStringLiteral("1016"));
    m_editPort->setReadOnly(true);
    m_editPort->setFocusPolicy(Qt::ClickFocus);

    m_listPorts = new QListWidget(this);
    m_listPorts->setObjectName(QStringLiteral("1018"));
    m_listPorts->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listPorts->setSortingEnabled(false);  // the list keeps the order by port number
    m_listPorts->setItemDelegate(new PortEntryDelegate(m_listPorts));
    m_listPorts->setMinimumSize(460, 220);

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
    buttons->addWidget(m_buttonRefresh);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, &PortDlg::OnOK);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_listPorts, &QListWidget::itemDoubleClicked, this, &PortDlg::OnDblclkPortList);
    connect(m_buttonRefresh, &QPushButton::clicked, this, &PortDlg::OnRefresh);
}

PortDlg::~PortDlg() = default;

void PortDlg::SetPortSource(const IPortSource& source) {
    m_pPortSource = &source;
    m_bSystemSource = &source == &SystemPortSource();
}

void PortDlg::SetPortMonitor(IPortMonitor& monitor) {
    m_portWatch.reset();
    m_pPortMonitor = &monitor;
}

int PortDlg::DoModal(const ModalAnswer& answer) { return answer ? answer(*this) : RunModal(); }

int PortDlg::RunModal() {
    if (OnInitDialog()) {
        if (QWidget* first = nextInFocusChain()) first->setFocus();
    }
    return exec();
}

bool PortDlg::OnInitDialog() {
    UpdateData(false);
    m_listPorts->clear();
    WatchDevices();
    return FillList();
}

bool PortDlg::OnRefresh() { return FillList(); }

bool PortDlg::FillList() {
    const QList<QListWidgetItem*> selected = m_listPorts->selectedItems();
    const QString selectedText = selected.isEmpty() ? QString() : selected.first()->text();
    const PortEnumeration ports = EnumeratePorts(*m_pPortSource);
    m_listPorts->clear();
    for (const PortEntry& entry : ports.entries) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry.text), m_listPorts);
        item->setData(Qt::UserRole, entry.number);
        const QString description =
            QString::fromStdString(PortDescription(entry.details, DescriptionWord));
        const QString location = QString::fromStdString(PortLocation(entry.details));
        item->setData(kDescriptionRole, description);
        item->setData(kLocationRole, location);
        QStringList tip{item->text()};
        if (!description.isEmpty()) tip << description;
        if (!location.isEmpty()) tip << location;
        item->setToolTip(tip.join(QLatin1Char('\n')));
        if (!selectedText.isEmpty() && item->text() == selectedText) {
            m_listPorts->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
        }
    }
    return ports.complete;
}

// Once: the monitor given, else (for this machine's ports) the system's own notice.
void PortDlg::WatchDevices() {
    if (m_portWatch) return;
    if (m_pPortMonitor) {
        m_portWatch = std::make_unique<PortMonitorWatch>(*m_pPortMonitor);
    } else if (m_bSystemSource) {
        m_portWatch = WatchSystemPorts();
    } else {
        return;
    }
    connect(m_portWatch.get(), &PortChangeWatch::PortsChanged, this, [this] { FillList(); });
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
