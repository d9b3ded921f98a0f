#pragma once

#include <QString>

// The string table. Texts are loaded in the interface language in force at the moment of
// the call (see ApplyLanguage), falling back to English.
enum StringId : int {
    IDS_ABOUTBOX = 101,
    IDS_MULTIDROP_QUESTION = 103,
    IDS_ERROR_OPENING_PORT = 104,
    IDS_COM_PORT_ERROR = 105,
    IDS_ENTER_COM_PORT = 106,
    IDS_POLLING = 107,
    IDS_POLL_CAPTION = 108,
    IDS_TEST_FAILED = 114,
    IDS_TEST_PASS_SINGLE = 115,
    IDS_TEST_PASS_MULTIDROP = 116,
    IDS_MULTI_DROP = 117,
    IDS_READING_COM_PORTS = 118,
    IDS_RESTART_PROGRAM = 121,
    IDS_LANGUAGE_CHANGE = 122,
    IDS_PORT_STOPPED = 123,
    IDS_PORT_IS_CONSOLE = 124,
    IDS_PORT_LINE_REFUSED = 125,
    IDS_SETTINGS_NOT_A_FILE = 126,
    IDS_SETTINGS_NOT_SAVED = 127,
    IDS_TEST_CANCELLED = 128,
    IDS_CANCEL = 129,
    IDS_SCAN_PROGRESS = 130,
    IDS_OPEN_NO_DEVICE = 131,
    IDS_OPEN_PERMISSION = 132,
    IDS_OPEN_HELD = 133,
    IDS_OPEN_HELD_UNKNOWN = 134,
    IDS_OPEN_NOT_SERIAL = 135,
    IDS_TROUBLESHOOT = 136,
    IDS_SETTINGS_UNREADABLE = 137,
};

QString LoadString(StringId id);

// Makes later LoadString calls find the texts of this language: "Chinese" selects
// Chinese, any other name English.
void SetStringLanguage(const QString& languageName);
