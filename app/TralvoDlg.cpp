// The main window shell: template, data exchange, message boxes, menus and the shell
// commands. The test commands live in files of their own.
#include "app/TralvoDlg.h"

#include <algorithm>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTranslator>
#include <QVBoxLayout>

#include "app/AboutDlg.h"
#include "app/AppIcon.h"
#include "app/DialogUnits.h"
#include "app/HartIdToolTip.h"
#include "app/LineTrafficPane.h"
#include "app/MainWindowLayout.h"
#include "app/OpenErrorBox.h"
#include "app/Resource.h"
#include "settings/Profile.h"
#include "settings/StartupSettings.h"
#include "strings/Language.h"
#include "strings/Strings.h"
#include "workflows/LineWorker.h"

namespace {

// The texts of one template: English as written, Chinese from the translation file.
class TemplateTexts {
public:
    explicit TemplateTexts(bool bChinese) : m_bChinese(bChinese && LoadChineseTexts(m_chinese)) {}
    QString operator()(const char* english) const {
        if (m_bChinese) {
            const QString text = m_chinese.translate("CTralvoDlg", english);
            if (!text.isEmpty()) return text;
        }
        return QString::fromUtf8(english);
    }

private:
    QTranslator m_chinese;
    bool m_bChinese;
};

// The window's texts change only at the next start; the box says so in the new language.
void TellToRestart(CTralvoDlg& window) {
    window.ShowMessage(LoadString(IDS_RESTART_PROGRAM), LoadString(IDS_LANGUAGE_CHANGE),
                       QMessageBox::Ok, QMessageBox::Critical);
}

}  // namespace

struct CTralvoDlg::Widgets {
    QLineEdit* comPort = nullptr;
    QLineEdit* status = nullptr;
    QLineEdit* tag = nullptr;
    QLineEdit* hartId = nullptr;
    QLineEdit* address = nullptr;
    QAction* english = nullptr;
    QAction* chinese = nullptr;
    QWidget* client = nullptr;
    QMenuBar* menuBar = nullptr;
};

CTralvoDlg::CTralvoDlg(WindowSeams seams, QWidget* parent)
    : CTralvoDlg(TheSerialPort(), SystemClock(), std::move(seams), parent) {}

CTralvoDlg::CTralvoDlg(CSerial& port, IClock& clock, WindowSeams seams, QWidget* parent)
    : QDialog(parent), m_link(port, clock), m_seams(std::move(seams)), m_pWidgets(new Widgets) {
    // The stored language picks the template once, for the whole run.
    m_strLanguage = StoredLanguage(AppProfile());
    m_nTemplateId = IsChineseName(m_strLanguage) ? IDD_TRALVO_DIALOG_CHINESE : IDD_TRALVO_DIALOG;
    setObjectName(QString::number(m_nTemplateId));
    setWindowTitle(QStringLiteral("Tralvo"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_hIcon = TralvoIcon();

    // The controls beyond the template (Cancel) take the string table's texts as they are
    // built: in the template's language, not the one before it.
    SetStringLanguage(m_strLanguage);
    CreateControls();
    CreateMenuBar();
}

CTralvoDlg::~CTralvoDlg() {
    StopBackgroundWork();
    delete m_pWidgets;
}

int CTralvoDlg::TemplateId() const { return m_nTemplateId; }

void CTralvoDlg::CreateControls() {
    const bool bChinese = m_nTemplateId == IDD_TRALVO_DIALOG_CHINESE;
    const TemplateTexts text(bChinese);
    auto* client = new QWidget(this);
    m_pWidgets->client = client;
    const DialogUnits units(client->font());

    QWidget* previous = nullptr;
    QList<QWidget*> groupBoxes;
    for (const ControlTemplate& control : MainWindowControls()) {
        DluRect position = control.position;
        if (bChinese && control.chineseWidth != 0) position.width = control.chineseWidth;
        QWidget* widget = nullptr;
        switch (control.kind) {
            case ControlKind::DefaultButton:
            case ControlKind::Button: {
                auto* button = new QPushButton(text(control.text), client);
                button->setDefault(control.kind == ControlKind::DefaultButton);
                widget = button;
                break;
            }
            case ControlKind::DigitsEdit:
            case ControlKind::ReadOnlyEdit: {
                auto* edit = new QLineEdit(client);
                if (control.kind == ControlKind::DigitsEdit) {
                    edit->setValidator(new QRegularExpressionValidator(
                        QRegularExpression(QStringLiteral("[0-9]*")), edit));
                } else {
                    edit->setReadOnly(true);
                }
                widget = edit;
                break;
            }
            case ControlKind::Label:
                widget = new QLabel(text(control.text), client);
                widget->setFocusPolicy(Qt::NoFocus);
                break;
            case ControlKind::GroupBox:
                widget = new QGroupBox(text(control.text), client);
                widget->setFocusPolicy(Qt::NoFocus);
                groupBoxes.append(widget);
                break;
        }
        if (control.id != IDC_STATIC) widget->setObjectName(QString::number(control.id));
        QRect geometry = units.ToPixels(position);
        // Fonts differ in their proportions: a label keeps its place but never cuts its text.
        if (control.kind == ControlKind::Label) {
            geometry.setWidth(std::max(geometry.width(), widget->sizeHint().width()));
        }
        widget->setGeometry(geometry);
        widget->setVisible(!control.bHidden);
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previous) setTabOrder(previous, widget);
            previous = widget;
        }
    }
    // A group box frames the controls inside it; it must not cover them for the mouse.
    for (QWidget* box : groupBoxes) box->lower();
    client->setFixedSize(units.ToPixelsX(kMainWindowWidthDlu),
                         units.ToPixelsY(kMainWindowHeightDlu));
    CreateTestControls(client, units);

    const auto edit = [client](int id) {
        return client->findChild<QLineEdit*>(QString::number(id));
    };
    m_pWidgets->comPort = edit(IDC_COM_PORT);
    m_pWidgets->status = edit(IDC_STATUS);
    m_pWidgets->tag = edit(IDC_HART_TAG);
    m_pWidgets->hartId = edit(IDC_HART_ID);
    m_pWidgets->address = edit(IDC_HART_ADDRESS);

    const auto onClick = [this, client](int id, void (CTralvoDlg::*handler)()) {
        auto* button = client->findChild<QPushButton*>(QString::number(id));
        connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(IDOK, &CTralvoDlg::OnExit);
    onClick(IDC_POLL_HART_NETWORK, &CTralvoDlg::OnPollHartNetwork);
    onClick(IDC_PV, &CTralvoDlg::OnPv);
    onClick(IDC_CONTINUOUS, &CTralvoDlg::OnContinuous);
    onClick(IDC_SET_COM_PORT, &CTralvoDlg::OnSetComPort);
    onClick(IDC_COM_TROUBLESHOOTER, &CTralvoDlg::OnComTroubleshooter);
}

void CTralvoDlg::CreateMenuBar() {
    const TemplateTexts text(m_nTemplateId == IDD_TRALVO_DIALOG_CHINESE);
    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName(QString::number(
        m_nTemplateId == IDD_TRALVO_DIALOG_CHINESE ? IDR_MENU_CHINESE : IDR_MENU_ENGLISH));
    m_pWidgets->menuBar = menuBar;
    auto* traffic = new CLineTrafficPane(
        m_link, [&text](const char* english) { return text(english); },
        [this](const QString& message) {
            ShowMessage(message, QStringLiteral("Tralvo"), QMessageBox::Ok, QMessageBox::Critical);
        },
        this);
    m_pTraffic = traffic;
    traffic->SetRecordListener([this](const traffic::TrafficFrame& frame) {
        m_lineDiagnosis.Add(frame);
        m_runFigures.Add(frame);
    });
    QMenu* popup = nullptr;
    for (const MenuItemTemplate& item : MainWindowMenu()) {
        if (item.command == 0) {
            popup = menuBar->addMenu(text(item.text));
            continue;
        }
        QAction* action = popup->addAction(text(item.text));
        action->setObjectName(QString::number(item.command));
        switch (item.command) {
            case ID_LANGUAGE_ENGLISH:
                action->setCheckable(true);
                action->setChecked(true);
                m_pWidgets->english = action;
                connect(action, &QAction::triggered, this, &CTralvoDlg::OnLanguageEnglish);
                break;
            case ID_LANGUAGE_CHINESE:
                action->setCheckable(true);
                m_pWidgets->chinese = action;
                connect(action, &QAction::triggered, this, &CTralvoDlg::OnLanguageChinese);
                break;
            case ID_HELP_ABOUT:
                connect(action, &QAction::triggered, this, &CTralvoDlg::OnHelpAbout);
                break;
            case ID_VIEW_LINE_TRAFFIC:
                action->setCheckable(true);
                connect(action, &QAction::toggled, traffic, &CLineTrafficPane::SetShown);
                break;
        }
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(m_pWidgets->client);
    layout->addWidget(traffic);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool CTralvoDlg::OnInitDialog() {
    UpdateData(false);
    // Window managers keep their window menu to themselves: the About box is reached
    // through Help > About only.
    setWindowIcon(m_hIcon);
    m_nHartId = 0;
    m_strTag = QStringLiteral(" ");
    m_strAddress = QStringLiteral(" ");
    ApplyLanguage(m_strLanguage);
    m_strStatus = LoadString(IDS_ENTER_COM_PORT);
    UpdateData(false);
    RepaintNow();
    // A first run asks for the port before the window is first shown.
    if (m_bPromptComPort) OnSetComPort();
    return true;
}

int CTralvoDlg::DoModal() {
    OnInitDialog();
    // The first control in tab order takes the focus, as a dialog's does.
    if (QWidget* first = m_pWidgets->client->findChild<QWidget*>(QString::number(IDOK))) {
        first->setFocus();
    }
    return exec();
}

bool CTralvoDlg::UpdateData(bool saveAndValidate) {
    Widgets& w = *m_pWidgets;
    if (!saveAndValidate) {
        w.comPort->setText(QString::number(m_nComPort));
        w.hartId->setText(QString::number(m_nHartId));
        if (m_nHartId == 0) {
            w.hartId->setToolTip(QString());
        } else {
            const TemplateTexts text(m_nTemplateId == IDD_TRALVO_DIALOG_CHINESE);
            w.hartId->setToolTip(HartIdToolTip(m_nHartId, m_link, text(kHartIdToolTip)));
        }
        w.status->setText(m_strStatus);
        w.tag->setText(m_strTag);
        w.address->setText(m_strAddress);
        return true;
    }
    bool isNumber = false;
    const uint comPort = w.comPort->text().toUInt(&isNumber);
    if (!isNumber || comPort > 255) {
        ShowMessage(QStringLiteral("Please enter a COM port number from 0 to 255."),
                    QStringLiteral("Tralvo"), QMessageBox::Ok, QMessageBox::Warning);
        w.comPort->setFocus();
        w.comPort->selectAll();
        return false;
    }
    m_nComPort = static_cast<uint8_t>(comPort);
    // The read-only boxes give back what was last shown.
    if (const uint hartId = w.hartId->text().toUInt(&isNumber); isNumber) m_nHartId = hartId;
    m_strStatus = w.status->text();
    m_strTag = w.tag->text();
    m_strAddress = w.address->text();
    return true;
}

void CTralvoDlg::RepaintNow() { repaint(); }

int CTralvoDlg::ShowMessage(const QString& text, const QString& caption, int buttons, int icon) {
    if (m_seams.message) return m_seams.message(text, caption, buttons, icon);
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), caption, text,
                    static_cast<QMessageBox::StandardButtons>(buttons), this);
    return box.exec();
}

void CTralvoDlg::ShowOpenError(const QString& text, const QString& caption, unsigned comPort,
                               QWidget* owner) {
    const int buttons = OpenErrorButtons(comPort);
    const int pressed = m_seams.message
                            ? m_seams.message(text, caption, buttons, QMessageBox::Critical)
                            : RunOpenErrorBox(owner ? owner : this, text, caption, buttons);
    if (pressed == kTroubleshootButton) StartTroubleshooter(TroubleshooterPortArguments(comPort));
}

void CTralvoDlg::done(int result) {
    StopBackgroundWork();
    QDialog::done(result);
}

void CTralvoDlg::OnExit() {
    // The port box must read back before the window may close.
    if (UpdateData(true)) accept();
}

void CTralvoDlg::OnComTroubleshooter() { StartTroubleshooter({}); }

void CTralvoDlg::StartTroubleshooter(const QStringList& arguments) {
    StartFirstOf(TroubleshooterPaths(), arguments,
                 m_seams.startProgram ? m_seams.startProgram : ProgramStarter(StartDetached));
}

void CTralvoDlg::OnHelpAbout() {
    CAboutDlg about(this);
    about.DoModal(m_seams.runAbout);
}

void CTralvoDlg::OnLanguageEnglish() {
    ApplyLanguage(QStringLiteral("English"));
    TellToRestart(*this);
}

void CTralvoDlg::OnLanguageChinese() {
    ApplyLanguage(QStringLiteral("Chinese"));
    TellToRestart(*this);
}

void CTralvoDlg::ApplyLanguage(QString languageName) {
    // Later loads find the new language; what the window already shows stays.
    SetStringLanguage(languageName);
    const bool bChinese = IsChineseName(languageName);
    m_pWidgets->english->setChecked(!bChinese);
    m_pWidgets->chinese->setChecked(bChinese);
    StoreLanguage(AppProfile(), languageName);
}
