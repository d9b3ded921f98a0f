#pragma once

#include <QWidget>

#include "troubleshooter/CheckResult.h"
#include "troubleshooter/PortList.h"
#include "troubleshooter/SystemRoots.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTreeWidget;

// A thin window over the checks: choose a port, run, read what failed and how to fix it.
class TroubleshooterWindow : public QWidget {
    Q_OBJECT
public:
    TroubleshooterWindow(const std::vector<ListedPort>& ports, unsigned initialPort,
                         SystemRoots roots, QWidget* parent = nullptr);

    // The listed port chosen, or the one typed ("COM33", "com33", "33"); 0 when the typed
    // text is not a port from 1 to 255.
    unsigned ChosenPort() const;

public slots:
    void RunChecksNow();
    void CopyReport();

private:
    void ShowResults(const CheckResults& results);

    SystemRoots m_roots;
    QComboBox* m_portBox;
    QCheckBox* m_pollBox;
    QLabel* m_portMessage;
    QTreeWidget* m_resultList;
    CheckResults m_lastResults;
    unsigned m_lastPort = 0;
};
