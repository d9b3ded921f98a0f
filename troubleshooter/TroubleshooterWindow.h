#pragma once

#include <QWidget>
#include <memory>

#include "serial/Serial.h"

#include "troubleshooter/CheckResult.h"
#include "troubleshooter/PortList.h"
#include "troubleshooter/SystemRoots.h"
#include "troubleshooter/Troubleshooter.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class CLineWorker;

// A thin window over the checks: choose a port, run, read what failed and how to fix it.
class TroubleshooterWindow : public QWidget {
    Q_OBJECT
public:
    TroubleshooterWindow(const std::vector<ListedPort>& ports, unsigned initialPort,
                         SystemRoots roots, QWidget* parent = nullptr);
    ~TroubleshooterWindow() override;

    // The listed port chosen, or the one typed ("COM33", "com33", "33"); 0 when the typed
    // text is not a port from 1 to 255.
    unsigned ChosenPort() const;

    // A HART poll runs on the worker; its row comes when it ends. Run is refused meanwhile.
    bool Polling() const;

public slots:
    // The checks, at once; the HART poll, when asked for, on a worker behind them, so that
    // the window keeps painting and takes a Cancel on a silent or babbling line.
    void RunChecksNow();
    void CancelPoll();
    void CopyReport();

private:
    void StartPoll(const TroubleshootRequest& request);
    void ShowResults(const CheckResults& results);

    SystemRoots m_roots;
    QComboBox* m_portBox;
    QCheckBox* m_pollBox;
    QLabel* m_portMessage;
    QTreeWidget* m_resultList;
    QPushButton* m_runButton;
    QPushButton* m_cancelButton;
    CheckResults m_lastResults;
    unsigned m_lastPort = 0;
    CSerial m_pollPort;
    CheckResult m_pollResult;  // written by the worker, read once it has ended
    bool m_bPolling = false;
    // Last, so that it goes first: its end cancels and waits for the poll, which uses the
    // members above.
    std::unique_ptr<CLineWorker> m_pollWorker;
};
