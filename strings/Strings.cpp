// The string table: English texts in the code, the Chinese ones in the translation file
// tralvo_zh_CN.ts, compiled and embedded at build time.
#include "strings/Strings.h"

#include <QCoreApplication>
#include <QTranslator>

#include "strings/Language.h"

namespace {

constexpr const char* kContext = "Strings";

struct StringEntry {
    StringId id;
    const char* english;
};

constexpr StringEntry kStringTable[] = {
    {IDS_ABOUTBOX, QT_TRANSLATE_NOOP("Strings", "&About Tralvo...")},
    {IDS_MULTIDROP_QUESTION,
     QT_TRANSLATE_NOOP("Strings", "No devices at address 0.  Multi-drop Poll?")},
    {IDS_ERROR_OPENING_PORT, QT_TRANSLATE_NOOP("Strings", "Error opening COM port")},
    {IDS_COM_PORT_ERROR, QT_TRANSLATE_NOOP("Strings", "COM Port Error")},
    {IDS_ENTER_COM_PORT, QT_TRANSLATE_NOOP("Strings", "Enter Com Port then press Poll")},
    {IDS_POLLING, QT_TRANSLATE_NOOP("Strings", "Polling...")},
    {IDS_POLL_CAPTION, QT_TRANSLATE_NOOP("Strings", "POLL")},
    {IDS_TEST_FAILED, QT_TRANSLATE_NOOP("Strings", "Test Failed")},
    {IDS_TEST_PASS_SINGLE, QT_TRANSLATE_NOOP("Strings", "Test Pass, single device")},
    {IDS_TEST_PASS_MULTIDROP, QT_TRANSLATE_NOOP("Strings", "Test Pass, multi-drop network")},
    {IDS_MULTI_DROP, QT_TRANSLATE_NOOP("Strings", "Multi-Drop")},
    {IDS_READING_COM_PORTS, QT_TRANSLATE_NOOP("Strings", "Reading COM ports...")},
    {IDS_RESTART_PROGRAM, QT_TRANSLATE_NOOP("Strings", "Restart Program")},
    {IDS_LANGUAGE_CHANGE, QT_TRANSLATE_NOOP("Strings", "Language Change")},
    {IDS_PORT_STOPPED, QT_TRANSLATE_NOOP("Strings",
                                         "The COM port stopped working. Check that the modem is "
                                         "plugged in, then poll again.")},
    {IDS_PORT_IS_CONSOLE,
     QT_TRANSLATE_NOOP("Strings",
                       "This port is the system console, so Tralvo leaves it alone. "
                       "Choose the port of the modem.")},
    {IDS_PORT_LINE_REFUSED,
     QT_TRANSLATE_NOOP("Strings",
                       "The port does not take 1200 baud, 8 data bits, odd parity "
                       "and 1 stop bit.")},
    {IDS_SETTINGS_NOT_A_FILE,
     QT_TRANSLATE_NOOP("Strings",
                       "The settings file %1 is not a regular file. Tralvo uses its "
                       "default settings and leaves the file alone.")},
    {IDS_SETTINGS_NOT_SAVED,
     QT_TRANSLATE_NOOP("Strings", "The settings could not be saved to %1.")},
    {IDS_TEST_CANCELLED, QT_TRANSLATE_NOOP("Strings", "Test cancelled")},
    {IDS_CANCEL, QT_TRANSLATE_NOOP("Strings", "Cancel")},
    {IDS_SCAN_PROGRESS, QT_TRANSLATE_NOOP("Strings", "Address %1 of %2")},
    {IDS_OPEN_NO_DEVICE,
     QT_TRANSLATE_NOOP("Strings", "%1: no such device. Is the modem plugged in?")},
    {IDS_OPEN_PERMISSION, QT_TRANSLATE_NOOP("Strings",
                                            "%1: permission denied. Join the group %2 (sudo "
                                            "usermod -aG %2 $USER), then log in again.")},
    {IDS_OPEN_HELD, QT_TRANSLATE_NOOP("Strings", "%1 is held by %2 (PID %3).")},
    {IDS_OPEN_HELD_UNKNOWN, QT_TRANSLATE_NOOP("Strings", "%1 is held by another program.")},
    {IDS_OPEN_NOT_SERIAL, QT_TRANSLATE_NOOP("Strings", "%1 is not a serial port.")},
    {IDS_TROUBLESHOOT, QT_TRANSLATE_NOOP("Strings", "Troubleshoot...")},
    {IDS_SETTINGS_UNREADABLE,
     QT_TRANSLATE_NOOP("Strings",
                       "The settings file %1 cannot be read. Tralvo uses its default settings "
                       "and does not write over the file.")},
};

// The language later loads find. Both translators stay loaded once Chinese has been
// chosen; switching only installs or removes them.
struct ActiveLanguage {
    QTranslator tralvoTexts;
    QTranslator qtTexts;
    bool bChinese = false;
    bool bInstalled = false;
};

ActiveLanguage& Active() {
    static ActiveLanguage active;
    return active;
}

void Install(ActiveLanguage& active) {
    if (active.tralvoTexts.isEmpty()) LoadChineseTexts(active.tralvoTexts);
    if (active.qtTexts.isEmpty()) LoadQtChineseTexts(active.qtTexts);
    // Without an application object the table is still looked up (below); only Qt's own
    // dialogs need the installed translators.
    if (QCoreApplication::instance() && !active.bInstalled) {
        QCoreApplication::installTranslator(&active.tralvoTexts);
        QCoreApplication::installTranslator(&active.qtTexts);
        active.bInstalled = true;
    }
}

void Remove(ActiveLanguage& active) {
    if (QCoreApplication::instance() && active.bInstalled) {
        QCoreApplication::removeTranslator(&active.qtTexts);
        QCoreApplication::removeTranslator(&active.tralvoTexts);
    }
    active.bInstalled = false;
}

}  // namespace

QString LoadString(StringId id) {
    for (const StringEntry& entry : kStringTable) {
        if (entry.id != id) continue;
        const ActiveLanguage& active = Active();
        if (active.bChinese) {
            const QString text = active.tralvoTexts.translate(kContext, entry.english);
            if (!text.isEmpty()) return text;
        }
        return QString::fromUtf8(entry.english);
    }
    return {};  // no such entry, as for a missing resource string
}

void SetStringLanguage(const QString& languageName) {
    ActiveLanguage& active = Active();
    active.bChinese = IsChineseName(languageName);
    if (active.bChinese) {
        Install(active);
    } else {
        Remove(active);
    }
}
