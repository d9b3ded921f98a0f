#include "troubleshooter/TroubleshooterWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <sstream>

#include "serial/ComNumberText.h"
#include "troubleshooter/CheckTitles.h"
#include "troubleshooter/PortText.h"
#include "troubleshooter/Report.h"
#include "troubleshooter/Troubleshooter.h"
#include "workflows/LineWorker.h"

TroubleshooterWindow::TroubleshooterWindow(const std::vector<ListedPort>& ports,
                                           unsigned initialPort, SystemRoots roots, QWidget* parent)
    : QWidget(parent),
      m_roots(std::move(roots)),
      m_portBox(new QComboBox),
      m_pollBox(new QCheckBox(tr("Also poll a HART device at address 0"))),
      m_portMessage(new QLabel),
      m_resultList(new QTreeWidget),
      m_runButton(new QPushButton(tr("Run checks"))),
      m_cancelButton(new QPushButton(tr("Cancel"))),
      m_pollWorker(std::make_unique<CLineWorker>(m_pollPort.Wakeup(), this)) {
    setWindowTitle(tr("Tralvo COM Troubleshooter"));
    // Editable, so a port the enumeration does not show can still be checked. A typed port
    // is read, not added to the list: an added entry would carry no port number.
    m_portBox->setEditable(true);
    m_portBox->setInsertPolicy(QComboBox::NoInsert);
    connect(m_portBox->lineEdit(), &QLineEdit::returnPressed, this,
            &TroubleshooterWindow::RunChecksNow);
    for (const auto& port : ports) {
        m_portBox->addItem(QString::fromStdString(PortLine(port)), port.comNumber);
    }
    if (initialPort != 0) {
        int index = m_portBox->findData(initialPort);
        if (index < 0) {
            m_portBox->addItem(QString::fromStdString(PortTextFromNumber(initialPort)),
                               initialPort);
            index = m_portBox->count() - 1;
        }
        m_portBox->setCurrentIndex(index);
    }

    auto* copy = new QPushButton(tr("Copy report"));
    connect(m_runButton, &QPushButton::clicked, this, &TroubleshooterWindow::RunChecksNow);
    m_cancelButton->setObjectName(QStringLiteral("cancelPoll"));
    m_cancelButton->hide();
    connect(m_cancelButton, &QPushButton::clicked, this, &TroubleshooterWindow::CancelPoll);
    connect(copy, &QPushButton::clicked, this, &TroubleshooterWindow::CopyReport);

    m_resultList->setColumnCount(3);
    m_resultList->setHeaderLabels({tr("Result"), tr("Check"), tr("Finding")});
    m_resultList->setRootIsDecorated(false);
    m_resultList->setWordWrap(true);
    m_resultList->header()->setStretchLastSection(true);

    auto* portRow = new QHBoxLayout;
    portRow->addWidget(new QLabel(tr("Port:")));
    portRow->addWidget(m_portBox, 1);
    portRow->addWidget(m_runButton);
    portRow->addWidget(m_cancelButton);
    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(m_pollBox);
    bottomRow->addStretch();
    bottomRow->addWidget(copy);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(portRow);
    m_portMessage->setObjectName(QStringLiteral("portMessage"));
    m_portMessage->setStyleSheet(QStringLiteral("color: red"));
    m_portMessage->hide();
    layout->addWidget(m_portMessage);
    layout->addWidget(m_resultList, 1);
    layout->addLayout(bottomRow);
    resize(820, 420);
}

TroubleshooterWindow::~TroubleshooterWindow() = default;

unsigned TroubleshooterWindow::ChosenPort() const {
    const QString text = m_portBox->currentText();
    const int listed = m_portBox->findText(text);
    if (listed >= 0) return m_portBox->itemData(listed).toUInt();
    return ParseTypedPort(text.toStdString()).value_or(0);
}

bool TroubleshooterWindow::Polling() const { return m_bPolling; }

void TroubleshooterWindow::RunChecksNow() {
    if (m_bPolling) return;
    const unsigned port = ChosenPort();
    if (port == 0) {
        const QString typed = m_portBox->currentText().trimmed();
        m_portMessage->setText(
            typed.isEmpty()
                ? tr("Type a port: COM and a number from 1 to 255, for example COM33.")
                : tr("\"%1\" is not a port. Type COM and a number from 1 to 255, for example "
                     "COM33.")
                      .arg(typed));
        m_portMessage->show();
        m_lastResults.clear();
        ShowResults(m_lastResults);
        return;
    }
    m_portMessage->hide();
    TroubleshootRequest request;
    request.comNumber = port;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_lastResults = RunChecks(request, m_roots, CurrentUser());
    m_lastPort = port;
    QApplication::restoreOverrideCursor();
    if (m_pollBox->isChecked()) {
        request.pollHart = true;
        StartPoll(request);
    }
    ShowResults(m_lastResults);
}

void TroubleshooterWindow::StartPoll(const TroubleshootRequest& request) {
    m_pollPort.Wakeup().Clear();
    m_bPolling = true;
    m_runButton->setEnabled(false);
    m_cancelButton->show();
    const CheckResult open = m_lastResults.back();
    m_pollWorker->Start(
        [this, open, request] { m_pollResult = HartPollAfter(open, request, m_pollPort); },
        [this](bool) {
            m_bPolling = false;
            m_cancelButton->hide();
            m_runButton->setEnabled(true);
            m_lastResults.push_back(m_pollResult);
            ShowResults(m_lastResults);
        });
}

void TroubleshooterWindow::CancelPoll() { m_pollWorker->Cancel(); }

void TroubleshooterWindow::ShowResults(const CheckResults& results) {
    m_resultList->clear();
    for (const auto& result : results) {
        QString finding = QString::fromStdString(result.explanation);
        if (result.outcome == CheckOutcome::Fail && !result.fix.empty()) {
            finding += u'\n' + tr("Fix: %1").arg(QString::fromStdString(result.fix));
        }
        auto* item = new QTreeWidgetItem({QString::fromStdString(OutcomeText(result.outcome)),
                                          QString::fromStdString(result.title), finding});
        if (result.outcome == CheckOutcome::Fail) item->setForeground(0, QColor(Qt::red));
        if (result.outcome == CheckOutcome::Pass) item->setForeground(0, QColor(Qt::darkGreen));
        if (result.outcome == CheckOutcome::Info) item->setForeground(0, QColor(Qt::darkBlue));
        item->setToolTip(2, finding);
        m_resultList->addTopLevelItem(item);
    }
    if (m_bPolling) {
        m_resultList->addTopLevelItem(
            new QTreeWidgetItem({tr("Running"), QString::fromStdString(CheckText(kHartPollTitle)),
                                 tr("Polling the device at address 0; Cancel stops it.")}));
    }
    m_resultList->resizeColumnToContents(0);
    m_resultList->resizeColumnToContents(1);
}

void TroubleshooterWindow::CopyReport() {
    // The report of the checks shown, under the port they were run for.
    std::ostringstream text;
    WriteReport(text, PortTextFromNumber(m_lastPort), m_lastResults);
    QApplication::clipboard()->setText(QString::fromStdString(text.str()));
}
