#pragma once

class FileOperationsController;
class QTreeView;

// The member list's in-place rename editor (on the file name only), its Del key and its double
// click on empty space, all carried out by the file operations.
void AttachMemberListInput(QTreeView* members, FileOperationsController& operations);
// Closes an open in-place editor without renaming: the window is going away.
void DropMemberListEdit(QTreeView* members);
