// The string table in both languages.
#include <gtest/gtest.h>

#include "strings/Strings.h"

namespace {

class StringsTest : public ::testing::Test {
protected:
    void TearDown() override { SetStringLanguage("English"); }
};

TEST_F(StringsTest, EnglishTextsAreExact) {
    SetStringLanguage("English");
    EXPECT_EQ(QStringLiteral("No devices at address 0.  Multi-drop Poll?"),
              LoadString(IDS_MULTIDROP_QUESTION));
    EXPECT_EQ(QStringLiteral("&About Tralvo..."), LoadString(IDS_ABOUTBOX));
    EXPECT_EQ(QStringLiteral("Enter Com Port then press Poll"), LoadString(IDS_ENTER_COM_PORT));
}

TEST_F(StringsTest, ChineseTextsComeFromTheEmbeddedTranslation) {
    SetStringLanguage("Chinese");
    EXPECT_EQ(QStringLiteral("投票..."), LoadString(IDS_POLLING));
    EXPECT_EQ(QStringLiteral("无设备地址为0。多点投票？"), LoadString(IDS_MULTIDROP_QUESTION));
    EXPECT_EQ(QStringLiteral("COM端口，然后按投票"), LoadString(IDS_ENTER_COM_PORT));
    EXPECT_EQ(QStringLiteral("阅读COM端口..."), LoadString(IDS_READING_COM_PORTS));
}

TEST_F(StringsTest, ChinesePassTextsSayTheTestPassed) {
    SetStringLanguage("Chinese");
    EXPECT_EQ(QStringLiteral("测试通过，单一设备"), LoadString(IDS_TEST_PASS_SINGLE));
    EXPECT_EQ(QStringLiteral("测试通过，多点网络"), LoadString(IDS_TEST_PASS_MULTIDROP));
    EXPECT_EQ(QStringLiteral("测试失败"), LoadString(IDS_TEST_FAILED));
}

TEST_F(StringsTest, EveryEntryHasAChineseText) {
    for (StringId id : {IDS_ABOUTBOX,
                        IDS_MULTIDROP_QUESTION,
                        IDS_ERROR_OPENING_PORT,
                        IDS_COM_PORT_ERROR,
                        IDS_ENTER_COM_PORT,
                        IDS_POLLING,
                        IDS_POLL_CAPTION,
                        IDS_TEST_FAILED,
                        IDS_TEST_PASS_SINGLE,
                        IDS_TEST_PASS_MULTIDROP,
                        IDS_MULTI_DROP,
                        IDS_READING_COM_PORTS,
                        IDS_RESTART_PROGRAM,
                        IDS_LANGUAGE_CHANGE,
                        IDS_PORT_STOPPED,
                        IDS_PORT_IS_CONSOLE,
                        IDS_PORT_LINE_REFUSED,
                        IDS_SETTINGS_NOT_A_FILE,
                        IDS_SETTINGS_NOT_SAVED,
                        IDS_TEST_CANCELLED,
                        IDS_CANCEL,
                        IDS_SCAN_PROGRESS,
                        IDS_OPEN_NO_DEVICE,
                        IDS_OPEN_PERMISSION,
                        IDS_OPEN_HELD,
                        IDS_OPEN_HELD_UNKNOWN,
                        IDS_OPEN_NOT_SERIAL,
                        IDS_TROUBLESHOOT}) {
        SetStringLanguage("English");
        const QString english = LoadString(id);
        SetStringLanguage("Chinese");
        EXPECT_NE(english, LoadString(id)) << "string " << int(id);
    }
}

TEST_F(StringsTest, SwitchingBackGivesEnglishAtOnce) {
    SetStringLanguage("Chinese");
    SetStringLanguage("English");
    EXPECT_EQ(QStringLiteral("Polling..."), LoadString(IDS_POLLING));
}

TEST_F(StringsTest, OnlyTheExactNameChineseSelectsChinese) {
    SetStringLanguage("chinese");
    EXPECT_EQ(QStringLiteral("Polling..."), LoadString(IDS_POLLING));
    SetStringLanguage("Deutsch");
    EXPECT_EQ(QStringLiteral("Test Failed"), LoadString(IDS_TEST_FAILED));
}

TEST_F(StringsTest, AnUnknownNumberGivesTheEmptyText) {
    EXPECT_TRUE(LoadString(static_cast<StringId>(102)).isEmpty());
}

}  // namespace
