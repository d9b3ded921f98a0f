#pragma once

// The troubleshooter speaks the interface language Tralvo stores ("Settings"/"Language":
// "Chinese" selects Chinese, anything else English), read from the store the application's
// profile names. Call once the application object exists; the store is only read.
void ApplyStoredLanguage();
