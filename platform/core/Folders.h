#pragma once
// Folders the program keeps its files in. Each ends with "/". Tests point
// them elsewhere with the setters; an empty value restores the default.

#include <string>

// The folder of the running executable.
std::string ProgramDir();
// $XDG_CONFIG_HOME/varnholt/ or ~/.config/varnholt/, created when first asked for.
std::string UserConfigDir();
// Where files kept "beside the program" go: ProgramDir() when it is writable,
// UserConfigDir() otherwise.
std::string SettingsDir();
// The desktop's folders for the user's settings and data ($XDG_CONFIG_HOME,
// $XDG_DATA_HOME, or their defaults below the home folder); not created here.
std::string XdgConfigHome();
std::string XdgDataHome();
// $TMPDIR, or /tmp/.
std::string TempDir();

void SetProgramDir(const std::string& Dir);
void SetUserConfigDir(const std::string& Dir);
void SetTempDir(const std::string& Dir);
