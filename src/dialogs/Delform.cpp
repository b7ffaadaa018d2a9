#include "dialogs/Delform.h"

#include "dialogs/window_font.h"

TDelListForm* DelListForm = nullptr;

TDelListForm::TDelListForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Dopplet"));
    setFont(WindowFont(QStringLiteral("ＭＳ ゴシック")));
}
