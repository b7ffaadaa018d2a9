#pragma once

#include <QStatusBar>
#include <string>

#include "main/progress_panel.h"

class QLabel;

// The main window's status bar: panel 0 draws the progress bar (its owner paints it), panel 1 the
// phase, panel 2 the path; at its right end a link to what the last search could not look at,
// and what the surplus copies of the listed groups take.
class MainStatusBar : public QStatusBar {
    Q_OBJECT

  public:
    MainStatusBar(ProgressPanel::Drawer drawProgress, QWidget* parent);

    // The search's phase and the path it is at; the progress bar follows.
    void ShowStatus(const QString& phase, const QString& path);
    // The path that the bulk delete walks, painted at once (the walk holds the window thread);
    // empty when the walk is over.
    void ShowWalkedPath(const std::string& path);
    // The link's text; empty hides it.
    void ShowSkippedLink(const QString& text);
    // The surplus copies' bytes; empty hides them.
    void ShowSurplus(const QString& text);

  signals:
    void SkippedLinkActivated();

  private:
    ProgressPanel* StatusPanel0;
    QLabel* StatusPanel1;
    QLabel* StatusPanel2;
    QLabel* SkippedLabel;
    QLabel* SurplusLabel;
};
