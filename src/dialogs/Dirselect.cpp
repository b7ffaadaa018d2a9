#include "dialogs/Dirselect.h"

#include "dialogs/window_font.h"

TDirSelectDialog* DirSelectDialog = nullptr;

TDirSelectDialog::TDirSelectDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ディレクトリを指定して下さい"));
    setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック")));
}
