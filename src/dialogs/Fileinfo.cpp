#include "dialogs/Fileinfo.h"

#include "dialogs/window_font.h"

TFileInfoDialog* FileInfoDialog = nullptr;

TFileInfoDialog::TFileInfoDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ファイル情報"));
    setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック")));
}
