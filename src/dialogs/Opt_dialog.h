#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class RadioGroup;
class SearchFilterBox;

// The options dialog: the priority class used while a search runs, the compare mode of the next
// search, its filters, and which copy the bulk delete keeps. The caller sets them, shows it and
// reads them back on OK.
class TOptSettingForm : public QDialog {
    Q_OBJECT

  public:
    explicit TOptSettingForm(QWidget* parent = nullptr);

    RadioGroup* SPriority;
    QPushButton* OKButton;
    QPushButton* CancelButton;
    RadioGroup* SearchMode;
    QLabel* Label1;
    // The search filters, in a block of their own below the choices above.
    SearchFilterBox* FilterBox;

    // Which copy the bulk delete keeps: its item index is the stored func::KeepRule number.
    RadioGroup* KeepChoice;

    // The item of SPriority that stands for a priority class (every unknown class is "普通"), and
    // the class that an item stands for (no item: `current` stays).
    static int PriorityItemOf(int priorityClass);
    static int PriorityClassOf(int item, int current);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Places the dialog at the centre of the screen that it opens on.
    void showEvent(QShowEvent* event) override;

  private:
    void PlaceFilterBox();
};

extern TOptSettingForm* OptSettingForm;
