#pragma once
// Runs a batch script against the document: the same command handlers as the window,
// answered from the script. Exit status 0 when every line ran, 2 at the first line
// that cannot run (the error goes to `err`, one line naming the script line).
#include <iosfwd>
#include <string>

namespace gridora {

class Document;
class Profile;
class BatchViewHost;
class ScriptedUserInterface;

int RunBatchScript(const std::string& scriptPath, Document& doc, Profile& profile, ScriptedUserInterface& ui,
                   BatchViewHost& view, std::ostream& err);

}  // namespace gridora
