#include "troubleshooter/TroubleshooterWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <sstream>

#include "serial/ComPortMap.h"
#include "troubleshooter/Report.h"
#include "troubleshooter/Troubleshooter.h"

TroubleshooterWindow::TroubleshooterWindow(const std::vector<ListedPort>& ports,
                                           unsigned initialPort, SystemRoots roots, QWidget* parent)
    : QWidget(parent),
      m_roots(std::move(roots)),
      m_portBox(new QComboBox),
      m_pollBox(new QCheckBox(tr("Also poll a HART device at address 0"))),
      m_resultList(new QTreeWidget) {
    setWindowTitle(tr("Tralvo COM Troubleshooter"));
    // Editable, so a port the enumeration does not show can still be checked.
    m_portBox->setEditable(true);
    for (const auto& port : ports) {
        m_portBox->addItem(QString::fromStdString(PortLine(port)), port.comNumber);
    }
    if (initialPort != 0) {
        int index = m_portBox->findData(initialPort);
        if (index < 0) {
            m_portBox->addItem(QStringLiteral("COM%1").arg(initialPort), initialPort);
            index = m_portBox->count() - 1;
        }
        m_portBox->setCurrentIndex(index);
    }

    auto* run = new QPushButton(tr("Run checks"));
    auto* copy = new QPushButton(tr("Copy report"));
    connect(run, &QPushButton::clicked, this, &TroubleshooterWindow::RunChecksNow);
    connect(copy, &QPushButton::clicked, this, &TroubleshooterWindow::CopyReport);

    m_resultList->setColumnCount(3);
    m_resultList->setHeaderLabels({tr("Result"), tr("Check"), tr("Finding")});
    m_resultList->setRootIsDecorated(false);
    m_resultList->setWordWrap(true);
    m_resultList->header()->setStretchLastSection(true);

    auto* portRow = new QHBoxLayout;
    portRow->addWidget(new QLabel(tr("Port:")));
    portRow->addWidget(m_portBox, 1);
    portRow->addWidget(run);
    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(m_pollBox);
    bottomRow->addStretch();
    bottomRow->addWidget(copy);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(portRow);
    layout->addWidget(m_resultList, 1);
    layout->addLayout(bottomRow);
    resize(820, 420);
}

unsigned TroubleshooterWindow::ChosenPort() const {
    const int index = m_portBox->currentIndex();
    if (index >= 0 && m_portBox->itemText(index) == m_portBox->currentText()) {
        return m_portBox->itemData(index).toUInt();
    }
    return PortNumberFromText(m_portBox->currentText().trimmed().toStdString());
}

void TroubleshooterWindow::RunChecksNow() {
    TroubleshootRequest request;
    request.comNumber = ChosenPort();
    request.pollHart = m_pollBox->isChecked();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_lastResults = RunChecks(request, m_roots, CurrentUser());
    QApplication::restoreOverrideCursor();
    ShowResults(m_lastResults);
}

void TroubleshooterWindow::ShowResults(const CheckResults& results) {
    m_resultList->clear();
    for (const auto& result : results) {
        QString finding = QString::fromStdString(result.explanation);
        if (result.outcome == CheckOutcome::Fail && !result.fix.empty()) {
            finding += QStringLiteral("\nFix: ") + QString::fromStdString(result.fix);
        }
        auto* item = new QTreeWidgetItem({QString::fromLatin1(OutcomeText(result.outcome)),
                                          QString::fromStdString(result.title), finding});
        if (result.outcome == CheckOutcome::Fail) item->setForeground(0, QColor(Qt::red));
        if (result.outcome == CheckOutcome::Pass) item->setForeground(0, QColor(Qt::darkGreen));
        item->setToolTip(2, finding);
        m_resultList->addTopLevelItem(item);
    }
    m_resultList->resizeColumnToContents(0);
    m_resultList->resizeColumnToContents(1);
}

void TroubleshooterWindow::CopyReport() {
    std::ostringstream text;
    WriteReport(text, "COM" + std::to_string(ChosenPort()), m_lastResults);
    QApplication::clipboard()->setText(QString::fromStdString(text.str()));
}
