#pragma once
// Edit > Undo and Redo (batch `undo`, `redo`) and the watch over every command that
// keeps the steps and the document's modified mark.
namespace gridora {

class CommandTable;
class Document;

// Gives the declared Edit > Undo its handler, adds Redo after the Edit menu's items and
// sets the table's observer. Call once the commands it watches are registered (it does
// not matter for the watch: the observer sees every command the table runs).
void RegisterHistoryCommands(CommandTable& table);

// A document the window or the batch mode opened, made new or saved outside the
// commands: nothing to undo (opened, new) and nothing unsaved.
void ForgetHistory(Document& doc);

}  // namespace gridora
