// Test access to the place where the settings live: WIN.INI under Wine, our INI file on
// Linux. Tests use it to start from an empty store and to look at the stored text.
#ifndef TARNWELL_TEST_SETTINGS_STORE_H
#define TARNWELL_TEST_SETTINGS_STORE_H

#include <string>
#include <vector>

// Starts every test from a store without the section "Tarnwell".
void ResetSettingsStore();

// The whole text of the file that holds the settings ("" when it does not exist), and the
// platform part: that file's path.
std::string SettingsStoreText();
std::string SettingsFilePath();

// The lines "key=value" of the section "Tarnwell" in that text (or in the file at `path`),
// in file order, without line ends. Parsed here on its own, not with the program's code.
std::vector<std::string> SettingsSectionLines(const std::string& path = SettingsFilePath());

#endif
