// What the main window tells the user about settings it cannot use: one box for a store
// that is not a regular file, one for the first failed write, whatever follows.
#include <sys/stat.h>

#include <QDialog>
#include <filesystem>
#include <fstream>

#include "MainWindowFixture.h"
#include "Watchdog.h"
#include "app/Resource.h"
#include "app/SettingsTroubleBoxes.h"
#include "app/TralvoApp.h"
#include "portselect/PortDlg.h"

namespace {

namespace fs = std::filesystem;

class SettingsTroubleBoxesTest : public MainWindowFixture {
protected:
    std::string PathOf(const char* relative) const { return home.path() + '/' + relative; }
    // A plain file where a store's folder belongs: every write to that store fails.
    void BlockFolder(const char* folder) const {
        fs::remove_all(PathOf(folder));
        std::ofstream(PathOf(folder)) << "not a folder";
    }
    // The boxes about settings: the window's own all have another caption.
    std::vector<ShownMessage> SettingsBoxes() const {
        std::vector<ShownMessage> boxes;
        for (const ShownMessage& message : messages) {
            if (message.caption == QStringLiteral("Tralvo")) boxes.push_back(message);
        }
        return boxes;
    }
    static void ExpectErrorBox(const ShownMessage& box, StringId text, const std::string& file) {
        EXPECT_EQ(LoadString(text).arg(QString::fromStdString(file)), box.text);
        EXPECT_EQ(QMessageBox::Critical, box.icon);
        EXPECT_EQ(QMessageBox::Ok, box.buttons);
    }
};

TEST_F(SettingsTroubleBoxesTest, AStoreThatIsAFifoIsToldOnceAtStartAndNeverOpened) {
    const std::string store = PathOf("Brenlow/Tralvo.conf");
    fs::create_directories(PathOf("Brenlow"));
    ASSERT_EQ(0, mkfifo(store.c_str(), 0600));
    Watchdog watchdog({store});

    // Start-up's order: the window's constructor reads before there is a window to own a box.
    CSettingsTroubleBoxes boxes;
    window = std::make_unique<CTralvoDlg>(seams);
    EXPECT_TRUE(messages.empty());
    boxes.ShowIn(*window);
    ASSERT_EQ(1u, messages.size());
    ExpectErrorBox(messages[0], IDS_SETTINGS_NOT_A_FILE, store);

    // Defaults all through; the refused writes of the run say nothing more.
    RestorePortIntoWindow(*window);
    EXPECT_EQ(99, window->m_nComPort);
    window->m_bPromptComPort = false;
    window->OnInitDialog();
    MenuCommand(ID_LANGUAGE_CHINESE)->trigger();
    MenuCommand(ID_LANGUAGE_ENGLISH)->trigger();
    EXPECT_EQ(1u, SettingsBoxes().size());
    EXPECT_EQ(3u, messages.size());  // and the two restart boxes

    EXPECT_FALSE(watchdog.Dismiss()) << "the window waited on the FIFO";
    EXPECT_TRUE(fs::is_fifo(store));
}

TEST_F(SettingsTroubleBoxesTest, TheFirstFailedWriteIsToldAtOnceAndLaterOnesAreSilent) {
    seams.runPortChooser = [](PortDlg& dlg) {
        dlg.m_strPort = QStringLiteral("COM5");
        dlg.m_bSetFenwexPort = true;
        return int(QDialog::Accepted);
    };
    CSettingsTroubleBoxes boxes;
    OpenWindow();
    boxes.ShowIn(*window);
    ASSERT_TRUE(messages.empty());  // the language was written back

    BlockFolder("Brenlow");
    BlockFolder("DODE Rizivorovudev Irizovivod");
    MenuCommand(ID_LANGUAGE_CHINESE)->trigger();
    ASSERT_EQ(1u, SettingsBoxes().size());
    ExpectErrorBox(SettingsBoxes()[0], IDS_SETTINGS_NOT_SAVED, PathOf("Brenlow/Tralvo.conf"));

    // Every other writer fails as well: a language, the port (COM5), the port for Fenwex.
    MenuCommand(ID_LANGUAGE_ENGLISH)->trigger();
    window->OnSetComPort();
    EXPECT_EQ(5, window->m_nComPort);
    EXPECT_EQ(1u, SettingsBoxes().size());
}

}  // namespace
