#pragma once
// The help service's window: a help file compiled with the Qt Help generator
// (the ".qch" file that stands beside the help file name the program uses),
// shown with its contents, a key-word index searched by partial key, and
// topics addressed by context number.

#include <cstdint>
#include <string>

// The compiled help file for a help file name ("lumfig.hlp" -> "lumfig.qch").
std::string CompiledHelpFile(const std::string& HelpFile);

// Runs one help command (HELP_CONTEXT, HELP_CONTENTS, HELP_FINDER,
// HELP_PARTIALKEY, HELP_HELPONHELP, HELP_QUIT) in the help window; false when
// the compiled help file is missing or cannot be read.
bool RunHelpCommand(const std::string& HelpFile, unsigned Command, intptr_t Data);

// The topic a context number opens ("quick.html"); empty when no topic has it
// or the help file cannot be read.
std::string HelpTopicForContext(const std::string& HelpFile, int Context);

// What the help window shows, for tests: the topic's file name and title, the
// tab on its left ("Contents" or "Index") and the index's search text. Empty
// when no help window is open.
struct THelpWindowState {
    std::string Topic, Title, Tab, SearchText;
    bool Visible = false;
};
THelpWindowState HelpWindowState();
