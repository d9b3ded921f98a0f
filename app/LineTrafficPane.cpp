#include "app/LineTrafficPane.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSaveFile>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <sstream>

#include "traffic/FrameText.h"
#include "traffic/PcapWriter.h"
#include "traffic/Reception.h"
#include "traffic/WireText.h"

namespace {

enum Column { kTimeColumn, kDirectionColumn, kFrameColumn, kColumns };

// Enough rows to follow a poll test without growing the window past a laptop screen.
constexpr int kShownRows = 12;
constexpr int kFrameColumnMinimumWidth = 400;
constexpr int kFrameColumnPadding = 16;

CLineTrafficPane::FileChooser& FileChooserSlot() {
    static CLineTrafficPane::FileChooser chooser;
    return chooser;
}

QString TimeText(int64_t timeUs, const QString& format) {
    return QDateTime::fromMSecsSinceEpoch(timeUs / 1000).toString(format);
}

QString DirectionText(const traffic::TrafficFrame& frame) {
    return frame.direction == traffic::Direction::Sent ? QStringLiteral("TX")
                                                       : QStringLiteral("RX");
}

QString HexText(const traffic::TrafficFrame& frame) {
    return QString::fromStdString(traffic::WireHex(frame));
}

}  // namespace

CLineTrafficPane::CLineTrafficPane(CHartLink& link, const Texts& text, ErrorSink showError,
                                   QWidget* parent)
    : QWidget(parent),
      m_showError(std::move(showError)),
      m_tap(link.Clock(), traffic::WallClockNowUs(), [this](traffic::TrafficFrame frame) {
          // On the thread that runs the link: the rows are the window's thread's business.
          QMetaObject::invokeMethod(
              this, [this, frame = std::move(frame)]() mutable { Append(std::move(frame)); },
              Qt::QueuedConnection);
      }) {
    setObjectName(QStringLiteral("lineTraffic"));
    m_texts = {text(QT_TRANSLATE_NOOP("CTralvoDlg", "%1 frames")),
               text(QT_TRANSLATE_NOOP("CTralvoDlg", "%1 frames, older ones dropped")),
               text(QT_TRANSLATE_NOOP("CTralvoDlg", "Save as text")),
               text(QT_TRANSLATE_NOOP("CTralvoDlg", "Save as pcap")),
               text(QT_TRANSLATE_NOOP("CTralvoDlg", "Text files (*.txt)")),
               text(QT_TRANSLATE_NOOP("CTralvoDlg", "Capture files (*.pcap)")),
               text(QT_TRANSLATE_NOOP("CTralvoDlg", "Could not write %1."))};

    m_pView = new QTreeWidget(this);
    m_pView->setObjectName(QStringLiteral("lineTrafficFrames"));
    m_pView->setColumnCount(kColumns);
    m_pView->setHeaderLabels({text(QT_TRANSLATE_NOOP("CTralvoDlg", "Time")),
                              text(QT_TRANSLATE_NOOP("CTralvoDlg", "Direction")),
                              text(QT_TRANSLATE_NOOP("CTralvoDlg", "Frame"))});
    m_pView->setRootIsDecorated(false);
    m_pView->setUniformRowHeights(true);
    m_pView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pView->setContextMenuPolicy(Qt::ActionsContextMenu);
    // The decode is read whole: the frame column grows with it, the view scrolls sideways.
    m_pView->header()->setStretchLastSection(false);
    m_pView->setColumnWidth(kFrameColumn, kFrameColumnMinimumWidth);
    m_pView->setColumnWidth(kTimeColumn,
                            fontMetrics().horizontalAdvance(QStringLiteral("00:00:00.000__")));
    m_pView->setColumnWidth(kDirectionColumn,
                            fontMetrics().horizontalAdvance(
                                text(QT_TRANSLATE_NOOP("CTralvoDlg", "Direction")) + "____"));
    m_pView->setMinimumHeight(kShownRows * fontMetrics().height());

    auto* buttons = new QHBoxLayout;
    const auto addAction = [&](const char* name, const char* english,
                               void (CLineTrafficPane::*slot)()) {
        auto* action = new QAction(text(english), this);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
        m_pView->addAction(action);
        auto* button = new QToolButton(this);
        button->setDefaultAction(action);
        buttons->addWidget(button);
    };
    addAction("lineTrafficCopy", QT_TRANSLATE_NOOP("CTralvoDlg", "Copy"),
              &CLineTrafficPane::OnCopy);
    addAction("lineTrafficClear", QT_TRANSLATE_NOOP("CTralvoDlg", "Clear"),
              &CLineTrafficPane::OnClear);
    addAction("lineTrafficSaveText", QT_TRANSLATE_NOOP("CTralvoDlg", "Save as text..."),
              &CLineTrafficPane::OnSaveAsText);
    addAction("lineTrafficSavePcap", QT_TRANSLATE_NOOP("CTralvoDlg", "Save as pcap..."),
              &CLineTrafficPane::OnSaveAsPcap);
    buttons->addStretch();
    m_pCount = new QLabel(this);
    buttons->addWidget(m_pCount);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pView);
    layout->addLayout(buttons);
    ShowCount();
    hide();
    link.SetObserver(&m_tap);
}

void CLineTrafficPane::SetFileChooser(FileChooser chooser) {
    FileChooserSlot() = std::move(chooser);
}

void CLineTrafficPane::SetShown(bool shown) {
    QWidget* window = parentWidget();
    setVisible(shown);
    if (!window || !window->layout()) return;
    if (shown) {
        window->layout()->setSizeConstraint(QLayout::SetMinimumSize);
        window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window->layout()->activate();
        window->adjustSize();
    } else {
        // Back to the template's size at once, not at the next layout pass.
        window->layout()->setSizeConstraint(QLayout::SetFixedSize);
        window->layout()->activate();
    }
}

void CLineTrafficPane::Append(traffic::TrafficFrame frame) {
    const traffic::DecodedFrame decoded = traffic::DecodeTraffic(frame);
    auto* row = new QTreeWidgetItem;
    row->setText(kTimeColumn, TimeText(frame.timeUs, QStringLiteral("HH:mm:ss.zzz")));
    row->setText(kDirectionColumn, DirectionText(frame));
    const QString summary = QString::fromStdString(traffic::FrameSummary(decoded));
    row->setText(kFrameColumn, summary);
    const int width = m_pView->fontMetrics().horizontalAdvance(summary) + kFrameColumnPadding;
    if (width > m_pView->columnWidth(kFrameColumn)) m_pView->setColumnWidth(kFrameColumn, width);
    const QString hex = HexText(frame);
    for (int column = 0; column < kColumns; ++column)
        row->setToolTip(column, hex.isEmpty() ? QStringLiteral("-") : hex);
    if (frame.linkResult != kLinkOk || decoded.checksum == traffic::ChecksumState::Bad) {
        for (int column = 0; column < kColumns; ++column) row->setForeground(column, Qt::darkRed);
    }

    // Follow the newest frame unless the user has scrolled back to look at older ones.
    const QScrollBar* scroll = m_pView->verticalScrollBar();
    const bool atEnd = scroll->value() == scroll->maximum();
    m_frames.push_back(std::move(frame));
    m_pView->addTopLevelItem(row);
    if (static_cast<int>(m_frames.size()) > kMaxFrames) {
        m_frames.pop_front();
        delete m_pView->takeTopLevelItem(0);
        m_bDropped = true;
    }
    if (atEnd) m_pView->scrollToBottom();
    ShowCount();
}

void CLineTrafficPane::ShowCount() {
    m_pCount->setText((m_bDropped ? m_texts.framesDropped : m_texts.frames).arg(FrameCount()));
}

QString CLineTrafficPane::FramesAsText(bool selectedOnly) const {
    const bool onlySelected = selectedOnly && !m_pView->selectedItems().isEmpty();
    QString text;
    for (int i = 0; i < FrameCount(); ++i) {
        if (onlySelected && !m_pView->topLevelItem(i)->isSelected()) continue;
        const traffic::TrafficFrame& frame = m_frames[static_cast<size_t>(i)];
        text += TimeText(frame.timeUs, QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) + '\t' +
                DirectionText(frame) + '\t' + m_pView->topLevelItem(i)->text(kFrameColumn) + '\t' +
                HexText(frame) + '\n';
    }
    return text;
}

void CLineTrafficPane::OnCopy() { QApplication::clipboard()->setText(FramesAsText(true)); }

void CLineTrafficPane::OnClear() {
    m_frames.clear();
    m_pView->clear();
    m_pView->setColumnWidth(kFrameColumn, kFrameColumnMinimumWidth);
    m_bDropped = false;
    ShowCount();
}

void CLineTrafficPane::OnSaveAsText() {
    const QString path =
        ChooseFile(m_texts.saveText, QStringLiteral("line-traffic.txt"), m_texts.textFilter);
    if (!path.isEmpty()) Save(path, FramesAsText().toUtf8());
}

void CLineTrafficPane::OnSaveAsPcap() {
    const QString path =
        ChooseFile(m_texts.savePcap, QStringLiteral("line-traffic.pcapng"), m_texts.pcapFilter);
    if (path.isEmpty()) return;
    std::ostringstream capture;
    traffic::CPcapWriter writer(capture);
    for (const traffic::TrafficFrame& frame : m_frames) writer.Write(frame);
    const std::string bytes = capture.str();
    Save(path, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QString CLineTrafficPane::ChooseFile(const QString& caption, const QString& suggestedName,
                                     const QString& filter) {
    if (const FileChooser& chooser = FileChooserSlot()) return chooser(caption, filter);
    return QFileDialog::getSaveFileName(this, caption, QDir::home().filePath(suggestedName),
                                        filter);
}

void CLineTrafficPane::Save(const QString& path, const QByteArray& bytes) {
    // The file is replaced only once it is written whole.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return;
    m_showError(
        m_texts.writeFailed.arg(QDir::toNativeSeparators(path) + ": " + file.errorString()));
}
