#pragma once

#include <QString>
#include <QWidget>
#include <deque>
#include <functional>

#include "hart/HartLink.h"
#include "traffic/TrafficFrame.h"
#include "traffic/WireTap.h"
#include "traffic/WireText.h"

class QLabel;
class QPlainTextEdit;
class QTreeWidget;

// The line traffic below the main window: every frame the window's link sends and every
// reception it ends, one row each with its time, direction, address, command, result and
// the rest of its decode; the selected row's whole decode, bytes and wire notes below the
// rows, its bytes also as the row's tooltip. Copy, Clear, Save as text and Save as pcap, as
// buttons and on the context menu; above the rows a line the window fills with what a run
// found. The pane records while hidden, so that opening it after a test shows the test's
// frames; it keeps the newest kMaxFrames.
class CLineTrafficPane : public QWidget {
    Q_OBJECT
public:
    // The window's template texts (English, or their Chinese translation).
    using Texts = std::function<QString(const char* english)>;
    // Shows a failure to the user (the window's message box).
    using ErrorSink = std::function<void(const QString& message)>;
    // Tests pick the file here in place of a dialog: caption and filter in, the path out
    // (empty: cancelled). Empty hook: the file dialog.
    using FileChooser = std::function<QString(const QString& caption, const QString& filter)>;

    static constexpr int kMaxFrames = 10000;

    // Becomes link's observer; the link must outlive the pane's use of it (the window owns
    // both and stops the link's work before either goes). Starts hidden.
    CLineTrafficPane(CHartLink& link, const Texts& text, ErrorSink showError,
                     QWidget* parent = nullptr);

    // Where the files to save are picked: a test's seam on this pane alone.
    void SetFileChooser(FileChooser chooser) { m_fileChooser = std::move(chooser); }

    // Shows or hides the pane below the window's template: while it is hidden the window
    // keeps the template's fixed size; while it shows, the window may be made larger.
    void SetShown(bool shown);

    // The line above the rows: what a run found (a failed test's diagnosis, a run's link
    // figures). Empty hides it.
    void SetRunReport(const QString& text);
    // Hears every record of the line on the thread that runs the link, as it is made (the
    // window's run figures and line diagnosis). Set before the link is first used.
    using RecordListener = std::function<void(const traffic::TrafficFrame&)>;
    void SetRecordListener(RecordListener listener) { m_recordListener = std::move(listener); }

    int FrameCount() const { return static_cast<int>(m_frames.size()); }
    // One line a frame, oldest first: date and time, direction, decode, bytes in hex,
    // separated by tabs, in English whatever the interface language, as the trace has them.
    // selectedOnly: the selected rows only (all when none is selected).
    QString FramesAsText(bool selectedOnly = false) const;

    void OnCopy();
    void OnClear();
    void OnSaveAsText();
    void OnSaveAsPcap();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The texts the pane shows after its construction, in the window's language.
    struct LaterTexts {
        QString frames;         // "%1 frames"
        QString framesDropped;  // "%1 frames, older ones dropped"
        QString saveText;
        QString savePcap;
        QString textFilter;
        QString pcapFilter;
        QString writeFailed;  // "Could not write %1."
        QString sent;         // "TX"
        QString received;     // "RX"
    };

    void Append(traffic::TrafficFrame frame);
    void ShowCount();
    void ShowDetails();
    void FollowNewest();
    QString ChooseFile(const QString& caption, const QString& suggestedName, const QString& filter);
    // Writes bytes to path, telling the user when it fails.
    void Save(const QString& path, const QByteArray& bytes);

    LaterTexts m_texts;
    ErrorSink m_showError;
    traffic::Translate m_translate;
    RecordListener m_recordListener;
    FileChooser m_fileChooser;
    traffic::CWireTap m_tap;
    std::deque<traffic::TrafficFrame> m_frames;
    bool m_bDropped = false;
    // Scrolled to the newest row whenever rows come or the view's size changes, until the
    // user scrolls up; showing the pane again follows again.
    bool m_bFollow = true;
    bool m_bFollowing = false;  // the pane's own scrolling, not the user's
    QLabel* m_pReport = nullptr;
    QTreeWidget* m_pView = nullptr;
    QPlainTextEdit* m_pDetails = nullptr;
    QLabel* m_pCount = nullptr;
};
