#include "main/main_status_bar.h"

#include <QLabel>

#include "dialogs/path_text.h"

namespace {

QLabel* NewStatusPanel(QWidget* parent, const QString& name) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setTextFormat(Qt::PlainText);
    return panel;
}

// Shows `text` in the label, hidden while it is empty.
void ShowOrHide(QLabel* label, const QString& text) {
    label->setText(text);
    label->setVisible(!text.isEmpty());
}

}  // namespace

MainStatusBar::MainStatusBar(ProgressPanel::Drawer drawProgress, QWidget* parent)
    : QStatusBar(parent) {
    setObjectName(QStringLiteral("SStatusBar"));
    setFixedHeight(25);
    setSizeGripEnabled(true);
    StatusPanel0 = new ProgressPanel(100, std::move(drawProgress), this);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel1 = NewStatusPanel(this, QStringLiteral("StatusPanel1"));
    StatusPanel1->setFixedWidth(100);
    StatusPanel2 = NewStatusPanel(this, QStringLiteral("StatusPanel2"));
    addWidget(StatusPanel0);
    addWidget(StatusPanel1);
    // Panel 2 takes the rest of the bar.
    addWidget(StatusPanel2, 1);
    // After a search: how many files and folders it could not look at; a click lists them.
    SkippedLabel = new QLabel(this);
    SkippedLabel->setObjectName(QStringLiteral("SkippedLabel"));
    SkippedLabel->setTextFormat(Qt::RichText);
    SkippedLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                          Qt::LinksAccessibleByKeyboard);
    SkippedLabel->hide();
    addPermanentWidget(SkippedLabel);
    connect(SkippedLabel, &QLabel::linkActivated, this, &MainStatusBar::SkippedLinkActivated);
    SurplusLabel = new QLabel(this);
    SurplusLabel->setObjectName(QStringLiteral("SurplusLabel"));
    SurplusLabel->setTextFormat(Qt::PlainText);
    SurplusLabel->hide();
    addPermanentWidget(SurplusLabel);
}

void MainStatusBar::ShowStatus(const QString& phase, const QString& path) {
    if (StatusPanel1->text() != phase) {
        StatusPanel1->setText(phase);
    }
    if (StatusPanel2->text() != path) {
        StatusPanel2->setText(path);
    }
    StatusPanel0->update();
}

void MainStatusBar::ShowWalkedPath(const std::string& path) {
    StatusPanel2->setText(PathText(path));
    if (path.empty()) {
        StatusPanel0->update();
        return;
    }
    StatusPanel0->repaint();
    StatusPanel2->repaint();
}

void MainStatusBar::ShowSkippedLink(const QString& text) {
    ShowOrHide(SkippedLabel,
               text.isEmpty() ? QString()
                              : QStringLiteral("<a href=\"#\">%1</a>").arg(text.toHtmlEscaped()));
}

void MainStatusBar::ShowSurplus(const QString& text) {
    ShowOrHide(SurplusLabel, text);
}
