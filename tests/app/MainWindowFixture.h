#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <memory>
#include <vector>

#include "app/TralvoDlg.h"
#include "settings/Profile.h"
#include "strings/Strings.h"
#include "tests/serial/ScopedConfigHome.h"

// A message box as the window asked for it.
struct ShownMessage {
    QString text;
    QString caption;
    int buttons;
    int icon;
};

// Each test starts from its own empty settings folder; message boxes are answered by the
// test (OK, or the answer set in `reply`) and recorded. A test answers the window's other
// dialogs and program starts by filling `seams` before it opens the window.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        AppProfile().m_pszRegistryKey = QStringLiteral("Brenlow");
        AppProfile().m_pszProfileName = QStringLiteral("Tralvo");
        seams.message = [this](const QString& text, const QString& caption, int buttons, int icon) {
            messages.push_back({text, caption, buttons, icon});
            return reply;
        };
    }
    void TearDown() override { SetStringLanguage(QStringLiteral("English")); }

    static void StoreLanguage(const QString& name) {
        AppProfile().WriteProfileString("Settings", "Language", name);
    }
    static QString StoredLanguage() {
        return AppProfile().GetProfileString("Settings", "Language", "<absent>");
    }

    // A window as start-up leaves it: constructed, port restored, initialised.
    CTralvoDlg& OpenWindow(uint8_t comPort = 4) {
        window = std::make_unique<CTralvoDlg>(seams);
        window->m_nComPort = comPort;
        window->OnInitDialog();
        return *window;
    }

    template <typename T>
    T* Control(int id) const {
        return window->findChild<T*>(QString::number(id));
    }
    QLineEdit* Box(int id) const { return Control<QLineEdit>(id); }
    QPushButton* Button(int id) const { return Control<QPushButton>(id); }
    QAction* MenuCommand(int id) const { return Control<QAction>(id); }
    bool HasLabel(const QString& text) const {
        for (const QLabel* label : window->findChildren<QLabel*>()) {
            if (label->text() == text) return true;
        }
        return false;
    }

    ScopedConfigHome home;
    WindowSeams seams;
    std::unique_ptr<CTralvoDlg> window;
    std::vector<ShownMessage> messages;
    int reply = QMessageBox::Ok;
};
