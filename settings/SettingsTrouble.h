#pragma once

#include <QString>
#include <functional>

// Settings files the store could not use. The store notes each case as it meets it; the
// program that reads the settings decides how the user hears of it.
enum class SettingsTrouble {
    NotARegularFile,  // never opened: reads gave the defaults, writes were refused
    NotSaved,         // a write that failed
    Unreadable,       // no permission to read: reads gave the defaults, writes were refused
};

// Called by the store for every case.
void NoteSettingsTrouble(SettingsTrouble trouble, const QString& file);

// The user's text for a case, in the current interface language.
QString SettingsTroubleText(SettingsTrouble trouble, const QString& file);

// Hears the store's notes for as long as it lives, and passes on the first of each kind
// only: the user is told once per run, not at every read and write of a broken store.
// One listener hears at a time (the latest); settings are used on the UI thread only.
class SettingsTroubleListener {
public:
    using Tell = std::function<void(SettingsTrouble trouble, const QString& file)>;
    explicit SettingsTroubleListener(Tell tell);
    ~SettingsTroubleListener();
    SettingsTroubleListener(const SettingsTroubleListener&) = delete;
    SettingsTroubleListener& operator=(const SettingsTroubleListener&) = delete;

private:
    friend void NoteSettingsTrouble(SettingsTrouble trouble, const QString& file);
    void Hear(SettingsTrouble trouble, const QString& file);

    Tell m_tell;
    unsigned m_told = 0;  // a bit for each kind told
    SettingsTroubleListener* m_pPrevious;
};
