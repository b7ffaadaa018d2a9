#pragma once

// Creates the program's seven windows, hidden, in this order: MainForm, AboutBox, RenameDialog,
// DelListForm, FileInfoDialog, DirSelectDialog, OptSettingForm. The dialogs belong to MainForm.
void CreateProgramWindows();

// Destroys them all (after any running search has ended) and clears the program-wide names.
void DestroyProgramWindows();
