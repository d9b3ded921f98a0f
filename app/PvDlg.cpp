#include "app/PvDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// What the dialog says when a number box holds something else.
constexpr char kNotAnInteger[] = "Please enter an integer.";

QString ObjectName(int controlId) { return QString::number(controlId); }

}  // namespace

PVDlg::PVDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(pvtext::kCaption));

    QLineEdit* tag = AddBox(pvdlg::kBoxTag, true);
    tag->setFrame(false);
    tag->setAlignment(Qt::AlignCenter);
    tag->setFocusPolicy(Qt::NoFocus);
    QPalette plain = tag->palette();  // reads as a caption over the values, not a box
    plain.setColor(QPalette::Base, plain.color(QPalette::Window));
    tag->setPalette(plain);

    auto* boxes = new QGridLayout;
    auto addRow = [&](int row, int column, const char* label, int controlId) {
        boxes->addWidget(new QLabel(QString::fromLatin1(label), this), row, column);
        boxes->addWidget(AddBox(controlId, false), row, column + 1);
    };
    addRow(0, 0, "AO:", pvdlg::kBoxAo);
    addRow(1, 0, "PV:", pvdlg::kBoxPv);
    addRow(0, 2, "Attempts:", pvdlg::kBoxAttempts);
    addRow(1, 2, "Count:", pvdlg::kBoxCount);
    addRow(2, 2, "Errors:", pvdlg::kBoxErrors);
    boxes->setColumnMinimumWidth(1, 120);
    boxes->setHorizontalSpacing(12);

    QPushButton* start = AddButton(pvdlg::kButtonStart, QStringLiteral("Start"));
    QPushButton* stop = AddButton(pvdlg::kButtonStop, QStringLiteral("Stop"));
    QPushButton* ok = AddButton(pvdlg::kButtonOk, QStringLiteral("OK"));
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start);
    buttons->addWidget(stop);
    buttons->addStretch();
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tag);
    layout->addLayout(boxes);
    layout->addLayout(buttons);

    connect(start, &QPushButton::clicked, this, [this] {
        FinishLineWork();
        // A new run: the wake-up that ended the last exchange must not end this one's.
        if (m_pLink) m_pLink->Port().Wakeup().Clear();
        OnStart();
    });
    connect(stop, &QPushButton::clicked, this, [this] {
        FinishLineWork();
        OnStop();
    });
    connect(ok, &QPushButton::clicked, this, &PVDlg::OnOK);
    connect(&m_timer, &QTimer::timeout, this, [this] { OnTimer(kTimerId); });

    UpdateData(false);
}

int PVDlg::DoModal(const ModalAnswer& answer) {
    UpdateData(false);
    return answer ? answer(*this) : exec();
}

void PVDlg::OnOK() {
    FinishLineWork();
    EndRun();
    if (UpdateData(true)) accept();
}

void PVDlg::reject() {
    FinishLineWork();
    EndRun();
    QDialog::reject();
}

bool PVDlg::RunOnLine(const std::function<void()>& work) {
    if (!m_pWorker) m_pWorker = std::make_unique<CLineWorker>(m_pLink->Port().Wakeup(), this);
    return m_pWorker->Run(work) == LineRun::RanToEnd;
}

void PVDlg::FinishLineWork() {
    if (m_pWorker) m_pWorker->Cancel();
}

QLineEdit* PVDlg::Box(int controlId) const { return findChild<QLineEdit*>(ObjectName(controlId)); }

QPushButton* PVDlg::Button(int controlId) const {
    return findChild<QPushButton*>(ObjectName(controlId));
}

bool PVDlg::UpdateData(bool saveAndValidate) {
    if (!saveAndValidate) {
        Box(pvdlg::kBoxAo)->setText(QString::fromStdString(m_strAO));
        Box(pvdlg::kBoxPv)->setText(QString::fromStdString(m_strPV));
        Box(pvdlg::kBoxTag)->setText(QString::fromStdString(m_strTag));
        Box(pvdlg::kBoxAttempts)->setText(QString::number(m_nAttempts));
        Box(pvdlg::kBoxCount)->setText(QString::number(m_nCount));
        Box(pvdlg::kBoxErrors)->setText(QString::number(m_nErrors));
        return true;
    }
    m_strAO = Box(pvdlg::kBoxAo)->text().toStdString();
    m_strPV = Box(pvdlg::kBoxPv)->text().toStdString();
    m_strTag = Box(pvdlg::kBoxTag)->text().toStdString();
    return ReadInteger(pvdlg::kBoxAttempts, m_nAttempts) &&
           ReadInteger(pvdlg::kBoxCount, m_nCount) && ReadInteger(pvdlg::kBoxErrors, m_nErrors);
}

void PVDlg::RepaintNow() { repaint(); }

void PVDlg::ShowMessage(const std::string& text) {
    const QString message = QString::fromStdString(text);
    const QString caption = QString::fromLatin1(pvtext::kCaption);
    if (m_messageBox) {
        m_messageBox(message, caption);
        return;
    }
    QMessageBox box(QMessageBox::Critical, caption, message, QMessageBox::Ok, this);
    box.exec();
}

void PVDlg::ShowOpenError(const std::string& text, uint8_t comPort) {
    if (!m_openErrorBox) {
        ShowMessage(text);
        return;
    }
    m_openErrorBox(QString::fromStdString(text), QString::fromLatin1(pvtext::kCaption), comPort);
}

uintptr_t PVDlg::SetTimer(uintptr_t timerId, uint32_t periodMs) {
    m_timer.start(static_cast<int>(m_nPeriodOverrideMs ? m_nPeriodOverrideMs : periodMs));
    return m_timer.isActive() ? timerId : 0;
}

bool PVDlg::KillTimer(uintptr_t) {
    if (!m_timer.isActive()) return false;
    m_timer.stop();
    return true;
}

QLineEdit* PVDlg::AddBox(int controlId, bool readOnly) {
    auto* box = new QLineEdit(this);
    box->setObjectName(ObjectName(controlId));
    box->setReadOnly(readOnly);
    return box;
}

QPushButton* PVDlg::AddButton(int controlId, const QString& text) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(ObjectName(controlId));
    return button;
}

bool PVDlg::ReadInteger(int controlId, int32_t& into) {
    QLineEdit* box = Box(controlId);
    bool ok = false;
    const int value = box->text().trimmed().toInt(&ok);
    if (!ok) {
        ShowMessage(kNotAnInteger);
        box->setFocus();
        box->selectAll();
        return false;
    }
    into = value;
    return true;
}
