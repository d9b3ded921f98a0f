// The template choice from the stored language, and a change of language while running.
#include <QListWidget>

#include "MainWindowFixture.h"
#include "app/Resource.h"
#include "portselect/PortDlg.h"
#include "tests/portselect/FakePortSource.h"

namespace {

using LanguageTest = MainWindowFixture;

TEST_F(LanguageTest, NoStoredLanguageGivesTheEnglishTemplateAndStoresEnglish) {
    OpenWindow();
    EXPECT_EQ(IDD_TRALVO_DIALOG, window->TemplateId());
    EXPECT_NE(nullptr, Control<QWidget>(IDR_MENU_ENGLISH));
    EXPECT_EQ(QStringLiteral("Exit"), Button(IDOK)->text());
    EXPECT_TRUE(HasLabel(QStringLiteral("HART Addr:")));
    EXPECT_TRUE(MenuCommand(ID_LANGUAGE_ENGLISH)->isChecked());
    EXPECT_FALSE(MenuCommand(ID_LANGUAGE_CHINESE)->isChecked());
    EXPECT_EQ(QStringLiteral("English"), StoredLanguage());
}

TEST_F(LanguageTest, StoredChineseGivesTheChineseTemplateMenuAndStatus) {
    StoreLanguage("Chinese");
    OpenWindow();
    EXPECT_EQ(IDD_TRALVO_DIALOG_CHINESE, window->TemplateId());
    EXPECT_NE(nullptr, Control<QWidget>(IDR_MENU_CHINESE));
    EXPECT_EQ(QStringLiteral("出口"), Button(IDOK)->text());
    EXPECT_EQ(QStringLiteral("投票HART网络"), Button(IDC_POLL_HART_NETWORK)->text());
    EXPECT_TRUE(HasLabel(QStringLiteral("HART地址：")));
    EXPECT_EQ(QStringLiteral("中国的"), MenuCommand(ID_LANGUAGE_CHINESE)->text());
    EXPECT_TRUE(MenuCommand(ID_LANGUAGE_CHINESE)->isChecked());
    EXPECT_FALSE(MenuCommand(ID_LANGUAGE_ENGLISH)->isChecked());
    EXPECT_EQ(QStringLiteral("COM端口，然后按投票"), Box(IDC_STATUS)->text());
}

TEST_F(LanguageTest, ChineseInSmallLettersWorksAsEnglishAndIsStoredBackUnchanged) {
    StoreLanguage("chinese");
    OpenWindow();
    EXPECT_EQ(IDD_TRALVO_DIALOG, window->TemplateId());
    EXPECT_EQ(QStringLiteral("Enter Com Port then press Poll"), Box(IDC_STATUS)->text());
    EXPECT_TRUE(MenuCommand(ID_LANGUAGE_ENGLISH)->isChecked());
    EXPECT_EQ(QStringLiteral("chinese"), StoredLanguage());
}

TEST_F(LanguageTest, ChoosingChineseSwitchesLaterTextsButNotTheWindow) {
    OpenWindow();
    MenuCommand(ID_LANGUAGE_CHINESE)->trigger();

    EXPECT_TRUE(MenuCommand(ID_LANGUAGE_CHINESE)->isChecked());
    EXPECT_FALSE(MenuCommand(ID_LANGUAGE_ENGLISH)->isChecked());
    EXPECT_EQ(QStringLiteral("Chinese"), StoredLanguage());
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(QStringLiteral("重新启动程序"), messages[0].text);
    EXPECT_EQ(QStringLiteral("语言的变化"), messages[0].caption);
    EXPECT_EQ(QMessageBox::Critical, messages[0].icon);
    EXPECT_EQ(QMessageBox::Ok, messages[0].buttons);
    // The labels, menus and the status already shown stay as built.
    EXPECT_EQ(QStringLiteral("Exit"), Button(IDOK)->text());
    EXPECT_EQ(QStringLiteral("Chinese"), MenuCommand(ID_LANGUAGE_CHINESE)->text());
    EXPECT_EQ(QStringLiteral("Enter Com Port then press Poll"), Box(IDC_STATUS)->text());
    EXPECT_EQ(QStringLiteral("投票..."), LoadString(IDS_POLLING));
}

TEST_F(LanguageTest, InChineseTheQuestionBoxButtonsReadYesAndNoInChinese) {
    StoreLanguage("Chinese");
    OpenWindow();
    QMessageBox question(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(question.button(QMessageBox::Yes)->text().contains(QStringLiteral("是")));
    EXPECT_TRUE(question.button(QMessageBox::No)->text().contains(QStringLiteral("否")));

    MenuCommand(ID_LANGUAGE_ENGLISH)->trigger();
    QMessageBox later(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(later.button(QMessageBox::Yes)->text().contains(QStringLiteral("Yes")));
}

TEST_F(LanguageTest, ChoosingEnglishInTheChineseWindowTellsInEnglish) {
    StoreLanguage("Chinese");
    OpenWindow();
    MenuCommand(ID_LANGUAGE_ENGLISH)->trigger();
    EXPECT_TRUE(MenuCommand(ID_LANGUAGE_ENGLISH)->isChecked());
    EXPECT_FALSE(MenuCommand(ID_LANGUAGE_CHINESE)->isChecked());
    EXPECT_EQ(QStringLiteral("English"), StoredLanguage());
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(QStringLiteral("Restart Program"), messages[0].text);
    EXPECT_EQ(QStringLiteral("Language Change"), messages[0].caption);
    EXPECT_EQ(QStringLiteral("出口"), Button(IDOK)->text());
}

TEST_F(LanguageTest, ChoosingTheActiveLanguageStoresItAndTellsAgain) {
    OpenWindow();
    StoreLanguage("something else");
    MenuCommand(ID_LANGUAGE_ENGLISH)->trigger();
    MenuCommand(ID_LANGUAGE_ENGLISH)->trigger();
    EXPECT_EQ(2u, messages.size());
    EXPECT_EQ(QStringLiteral("English"), StoredLanguage());
    EXPECT_TRUE(MenuCommand(ID_LANGUAGE_ENGLISH)->isChecked());
}

TEST_F(LanguageTest, StoredChineseShowsTheTextsBeyondTheTemplatesInChinese) {
    StoreLanguage("Chinese");
    OpenWindow();
    EXPECT_EQ(QStringLiteral("取消"), Button(IDC_CANCEL_TEST)->text());
    PortRecord uart{"Communications Port (COM4)", {}};
    uart.details.serial = "S1";
    const FakePortSource ports =
        FakePortSource::WithRecords({uart, {"Virtual Serial Port (COM7)", {}}});
    PortDlg chooser;
    chooser.SetPortSource(ports);
    chooser.OnInitDialog();
    ASSERT_EQ(2, chooser.m_listPorts->count());
    // The string table's texts (progress, open errors) are checked in StringsTest.
    EXPECT_EQ(chooser.m_listPorts->item(0)->data(PortDlg::kDescriptionRole),
              QStringLiteral("通信端口, 序列号 S1"));
    EXPECT_EQ(chooser.m_listPorts->item(1)->data(PortDlg::kDescriptionRole),
              QStringLiteral("虚拟串口"));
}

}  // namespace
