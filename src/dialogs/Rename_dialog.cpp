#include "dialogs/Rename_dialog.h"

#include "dialogs/window_font.h"

TRenameDialog* RenameDialog = nullptr;

TRenameDialog::TRenameDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("名前変更"));
    setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック")));
}
