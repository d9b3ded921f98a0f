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
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <sstream>

#include "hart/LinkResult.h"
#include "strings/TrafficTranslation.h"
#include "traffic/FrameText.h"
#include "traffic/PcapWriter.h"
#include "traffic/Reception.h"
#include "traffic/WireText.h"

namespace {

enum Column {
    kTimeColumn,
    kDirectionColumn,
    kAddressColumn,
    kCommandColumn,
    kResultColumn,
    kDecodeColumn,
    kColumns
};

// The selected row's details: the whole decode, the bytes and the wire notes.
constexpr int kDetailsRole = Qt::UserRole;

// Enough rows to follow a poll test without growing the window past a laptop screen.
constexpr int kShownRows = 12;
constexpr int kDetailsLines = 4;
constexpr int kColumnPadding = 16;
constexpr int kDecodeMinimumWidth = 160;

QString TimeText(int64_t timeUs, const QString& format) {
    return QDateTime::fromMSecsSinceEpoch(timeUs / 1000).toString(format);
}

QString HexText(const traffic::TrafficFrame& frame) {
    return QString::fromStdString(traffic::WireHex(frame));
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

CLineTrafficPane::CLineTrafficPane(CHartLink& link, const Texts& text, ErrorSink showError,
                                   QWidget* parent)
    : QWidget(parent),
      m_showError(std::move(showError)),
      m_translate(traffictext::InterfaceLanguage()),
      m_tap(link.Clock(), traffic::WallClockNowUs(), [this](traffic::TrafficFrame frame) {
          if (m_recordListener) m_recordListener(frame);
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
               text(QT_TRANSLATE_NOOP("CTralvoDlg", "Capture files (*.pcapng)")),
               text(QT_TRANSLATE_NOOP("CTralvoDlg", "Could not write %1.")),
               text(QT_TRANSLATE_NOOP("CTralvoDlg", "TX")),
               text(QT_TRANSLATE_NOOP("CTralvoDlg", "RX"))};

    m_pReport = new QLabel(this);
    m_pReport->setObjectName(QStringLiteral("lineTrafficReport"));
    m_pReport->setWordWrap(true);
    m_pReport->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pReport->hide();

    m_pView = new QTreeWidget(this);
    m_pView->setObjectName(QStringLiteral("lineTrafficFrames"));
    m_pView->setColumnCount(kColumns);
    m_pView->setHeaderLabels({text(QT_TRANSLATE_NOOP("CTralvoDlg", "Time")),
                              text(QT_TRANSLATE_NOOP("CTralvoDlg", "Direction")),
                              text(QT_TRANSLATE_NOOP("CTralvoDlg", "Address")),
                              text(QT_TRANSLATE_NOOP("CTralvoDlg", "Command")),
                              text(QT_TRANSLATE_NOOP("CTralvoDlg", "Result")),
                              text(QT_TRANSLATE_NOOP("CTralvoDlg", "Decode"))});
    m_pView->setRootIsDecorated(false);
    m_pView->setUniformRowHeights(true);
    m_pView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pView->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_pView->setTextElideMode(Qt::ElideRight);
    // The time is what the rows are read by: the view never scrolls sideways (a key or a
    // click on a cell would otherwise take the time out of view). The decode column takes
    // the width left and elides; the details below carry the whole text.
    m_pView->header()->setStretchLastSection(true);
    m_pView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScrollBar* sideways = m_pView->horizontalScrollBar();
    connect(sideways, &QScrollBar::valueChanged, this, [sideways](int value) {
        if (value != 0) sideways->setValue(0);
    });
    const QFontMetrics metrics = fontMetrics();
    const auto widthOf = [&](const QStringList& texts) {
        int width = 0;
        for (const QString& t : texts) width = std::max(width, metrics.horizontalAdvance(t));
        return width + kColumnPadding;
    };
    const QStringList titles = [&] {
        QStringList list;
        for (int column = 0; column < kColumns; ++column)
            list << m_pView->headerItem()->text(column);
        return list;
    }();
    const int widths[] = {
        widthOf({titles[kTimeColumn], QStringLiteral("00:00:00.000")}),
        widthOf({titles[kDirectionColumn], m_texts.sent, m_texts.received}),
        widthOf({titles[kAddressColumn], QStringLiteral("0x26 0x06 123456")}),
        widthOf({titles[kCommandColumn], QStringLiteral("0 Read Unique Identifier")}),
        widthOf({titles[kResultColumn], QStringLiteral("response 32 busy")}),
    };
    int fixedWidth = 0;
    for (int column = 0; column < kDecodeColumn; ++column) {
        m_pView->setColumnWidth(column, widths[column]);
        fixedWidth += widths[column];
    }
    m_pView->setMinimumWidth(fixedWidth + kDecodeMinimumWidth);
    m_pView->setMinimumHeight(kShownRows * metrics.height());
    QScrollBar* upDown = m_pView->verticalScrollBar();
    connect(upDown, &QScrollBar::rangeChanged, this, [this] { FollowNewest(); });
    connect(upDown, &QScrollBar::valueChanged, this, [this, upDown](int value) {
        if (!m_bFollowing && m_pView->isVisible()) m_bFollow = value >= upDown->maximum();
    });
    connect(m_pView, &QTreeWidget::currentItemChanged, this, [this] { ShowDetails(); });

    m_pDetails = new QPlainTextEdit(this);
    m_pDetails->setObjectName(QStringLiteral("lineTrafficDetails"));
    m_pDetails->setReadOnly(true);
    m_pDetails->setFixedHeight(kDetailsLines * metrics.lineSpacing() + 2 * kColumnPadding);

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
    m_pCount->setObjectName(QStringLiteral("lineTrafficCount"));
    buttons->addWidget(m_pCount);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pReport);
    layout->addWidget(m_pView);
    layout->addWidget(m_pDetails);
    layout->addLayout(buttons);
    ShowCount();
    hide();
    link.SetObserver(&m_tap);
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

void CLineTrafficPane::SetRunReport(const QString& text) {
    m_pReport->setText(text);
    m_pReport->setVisible(!text.isEmpty());
}

void CLineTrafficPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Opened again, the pane shows what happened last, not where it was left.
    m_bFollow = true;
    FollowNewest();
}

void CLineTrafficPane::FollowNewest() {
    if (!m_bFollow) return;
    QScrollBar* upDown = m_pView->verticalScrollBar();
    m_bFollowing = true;
    upDown->setValue(upDown->maximum());
    m_bFollowing = false;
}

void CLineTrafficPane::Append(traffic::TrafficFrame frame) {
    const traffic::DecodedFrame decoded = traffic::DecodeTraffic(frame);
    const traffic::FrameCells cells = traffic::FrameColumns(decoded, m_translate);
    auto* row = new QTreeWidgetItem;
    row->setText(kTimeColumn, TimeText(frame.timeUs, QStringLiteral("HH:mm:ss.zzz")));
    row->setText(kDirectionColumn,
                 frame.direction == traffic::Direction::Sent ? m_texts.sent : m_texts.received);
    row->setText(kAddressColumn, Text(cells.address));
    row->setText(kCommandColumn, Text(cells.command));
    row->setText(kResultColumn, Text(cells.result));
    row->setText(kDecodeColumn, Text(cells.decode));
    const QString hex = HexText(frame);
    QStringList details{Text(traffic::FrameSummary(decoded, m_translate)), hex};
    for (const std::string& note : traffic::WireNotes(frame, m_translate)) details << Text(note);
    row->setData(kTimeColumn, kDetailsRole, details.join('\n'));
    for (int column = 0; column < kColumns; ++column)
        row->setToolTip(column, hex.isEmpty() ? QStringLiteral("-") : hex);
    if (frame.linkResult != kLinkOk || decoded.checksum == traffic::ChecksumState::Bad) {
        for (int column = 0; column < kColumns; ++column) row->setForeground(column, Qt::darkRed);
    }

    m_frames.push_back(std::move(frame));
    m_pView->addTopLevelItem(row);
    if (static_cast<int>(m_frames.size()) > kMaxFrames) {
        m_frames.pop_front();
        delete m_pView->takeTopLevelItem(0);
        m_bDropped = true;
    }
    FollowNewest();
    ShowCount();
}

void CLineTrafficPane::ShowDetails() {
    const QTreeWidgetItem* row = m_pView->currentItem();
    m_pDetails->setPlainText(row ? row->data(kTimeColumn, kDetailsRole).toString() : QString());
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
        const bool sent = frame.direction == traffic::Direction::Sent;
        text += TimeText(frame.timeUs, QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) + '\t' +
                (sent ? QStringLiteral("TX") : QStringLiteral("RX")) + '\t' +
                Text(traffic::FrameSummary(traffic::DecodeTraffic(frame))) + '\t' + HexText(frame) +
                '\n';
    }
    return text;
}

void CLineTrafficPane::OnCopy() { QApplication::clipboard()->setText(FramesAsText(true)); }

void CLineTrafficPane::OnClear() {
    m_frames.clear();
    m_pView->clear();
    m_pDetails->clear();
    m_bFollow = true;
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
    if (m_fileChooser) return m_fileChooser(caption, filter);
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
