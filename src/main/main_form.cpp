#include "main/main_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "dialogs/About.h"
#include "dialogs/Opt_dialog.h"
#include "dialogs/drive_combo_box.h"
#include "dialogs/folder_list_box.h"
#include "dialogs/placed_label.h"
#include "dialogs/program_icon.h"
#include "dialogs/radio_group.h"
#include "dialogs/search_filter_box.h"
#include "dialogs/single_press_shortcut.h"
#include "dialogs/user_dialogs.h"
#include "dialogs/window_font.h"
#include "dialogs/window_frame.h"
#include "main/file_operations_controller.h"
#include "main/group_list_model.h"
#include "main/program_info.h"
#include "main/progress_panel.h"
#include "main/report_list.h"
#include "main/results_page.h"

TMainForm* MainForm = nullptr;

namespace {

// How long the group rows that a search hands over wait before they go into the list together.
constexpr int kRowFlushMs = 100;

// A column of widgets that fills `parent` edge to edge, without gaps between them.
QVBoxLayout* NewColumn(QWidget* parent) {
    auto* column = new QVBoxLayout(parent);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    return column;
}

QFrame* NewPanel(QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setFrameShape(QFrame::NoFrame);
    return panel;
}

QPushButton* NewButton(QWidget* parent, const QString& caption, int left, int top, int width,
                       int height) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(left, top, width, height);
    button->setAutoDefault(false);
    return button;
}

QLabel* NewStatusPanel(QWidget* parent) {
    auto* panel = new QLabel(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setTextFormat(Qt::PlainText);
    return panel;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent), m_results(std::make_unique<search::ResultTable>()) {
    setWindowTitle(QStringLiteral("DoppletSearcher"));
    setWindowFlags(kMainWindowFrame);
    setWindowIcon(QIcon(ProgramPixmap(32)));
    setFont(WindowFont(QStringLiteral("ＭＳ ゴシック")));

    BuildMenus();
    BuildStatusBar();

    auto* central = new QWidget(this);
    auto* layout = NewColumn(central);
    PageControl = new QTabWidget(central);
    BuildCommandPanel();
    layout->addWidget(PageControl, 1);
    layout->addWidget(Panel1);
    setCentralWidget(central);

    BuildResultsPage();
    BuildTargetsPage();
    BuildNoDeletePage();
    PageControl->setCurrentWidget(TabSheet1);
    m_rowFlush = new QTimer(this);
    m_rowFlush->setSingleShot(true);
    m_rowFlush->setInterval(kRowFlushMs);
    connect(m_rowFlush, &QTimer::timeout, this, &TMainForm::FlushPendingRows);
    ConnectHandlers();

    m_progress.Set(0, 0);
    IniFileName = SettingsFileName();

    LoadSettings();
    PageControl->installEventFilter(this);
    TabSheet2->installEventFilter(this);
    AddPanel->installEventFilter(this);
    m_resultsPage->MemberView()->viewport()->installEventFilter(this);
    FormPaint();
    ShowResultCount();
}

TMainForm::~TMainForm() {
    DropInPlaceEdit();
    FinishAllSearches();
    // The page's lists read the result table, which goes before the window's children do.
    m_resultsPage->Clear();
    if (MainForm == this) {
        MainForm = nullptr;
    }
}

void TMainForm::BuildMenus() {
    MenuFile = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    // The undo puts back deleted files; it stands apart from 削除(&D), which takes a folder off
    // the target list and is not undone.
    MenuUndo = MenuFile->addAction(QStringLiteral("元に戻す(&U)"));
    MenuUndo->setShortcut(QKeySequence::Undo);
    // A held key puts back one file, not one per repeat.
    MenuUndo->setAutoRepeat(false);
    new SinglePressShortcut(MenuUndo);
    MenuUndo->setEnabled(false);
    MenuFile->addSeparator();
    MenuOpen = MenuFile->addAction(QStringLiteral(" 開く(&O)"));
    MenuRename = MenuFile->addAction(QStringLiteral("名前変更(&M)"));
    MenuMove = MenuFile->addAction(QStringLiteral("移動(&T)"));
    MenuDel = MenuFile->addAction(QStringLiteral("削除(&D)"));
    MenuFile->addSeparator();
    MenuPreview = MenuFile->addAction(QStringLiteral("まとめて削除の下見(&V)"));
    MenuExport = MenuFile->addAction(QStringLiteral("検索結果の書き出し(&W)..."));
    MenuFile->addSeparator();
    MenuOptSet = MenuFile->addAction(QStringLiteral("動作設定(&S)"));
    MenuFile->addSeparator();
    MenuExit = MenuFile->addAction(QStringLiteral("終了(&X)"));

    MenuFind = menuBar()->addMenu(QStringLiteral("検索(&S)"));
    MenuStart = MenuFind->addAction(QStringLiteral("開始(&B)"));
    MenuStop = MenuFind->addAction(QStringLiteral("中断(&E)"));
    MenuStop->setEnabled(false);
    MenuFind->addSeparator();
    MenuSkipped = MenuFind->addAction(QStringLiteral("調べられなかったファイル(&L)..."));
    MenuSkipped->setEnabled(false);

    MenuHelp = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    MenuAbout = MenuHelp->addAction(QStringLiteral("Doppletについて(&A)"));

    const std::pair<QAction*, const char*> named[] = {
        {MenuUndo, "MenuUndo"},    {MenuOpen, "MenuOpen"}, {MenuRename, "MenuRename"},
        {MenuMove, "MenuMove"},    {MenuDel, "MenuDel"},   {MenuPreview, "MenuPreview"},
        {MenuExport, "MenuExport"}};
    for (const auto& [action, name] : named) {
        action->setObjectName(QString::fromLatin1(name));
    }
}

void TMainForm::BuildStatusBar() {
    SStatusBar = statusBar();
    SStatusBar->setFixedHeight(25);
    SStatusBar->setSizeGripEnabled(true);
    StatusPanel0 = new ProgressPanel(
        100, [this](QPainter& painter, const QRect& rect) { SStatusBarDrawPanel(painter, rect); },
        SStatusBar);
    StatusPanel1 = NewStatusPanel(SStatusBar);
    StatusPanel1->setFixedWidth(100);
    StatusPanel2 = NewStatusPanel(SStatusBar);
    SStatusBar->addWidget(StatusPanel0);
    SStatusBar->addWidget(StatusPanel1);
    // Panel 2 takes the rest of the bar.
    SStatusBar->addWidget(StatusPanel2, 1);
    // After a search: how many files and folders it could not look at; a click lists them.
    SkippedLabel = new QLabel(SStatusBar);
    SkippedLabel->setTextFormat(Qt::RichText);
    SkippedLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                          Qt::LinksAccessibleByKeyboard);
    SkippedLabel->hide();
    SStatusBar->addPermanentWidget(SkippedLabel);
    SurplusLabel = new QLabel(SStatusBar);
    SurplusLabel->setObjectName(QStringLiteral("SurplusLabel"));
    SurplusLabel->setTextFormat(Qt::PlainText);
    SurplusLabel->hide();
    SStatusBar->addPermanentWidget(SurplusLabel);
}

void TMainForm::BuildCommandPanel() {
    Panel1 = NewPanel(this);
    Panel1->setFixedHeight(68);
    SearchButton = NewButton(Panel1, QStringLiteral("検索する(&B)"), 104, 16, 105, 33);
    StopButton = NewButton(Panel1, QStringLiteral("中断する(&E)"), 232, 16, 113, 33);
    StopButton->setEnabled(false);
    ExitButton = NewButton(Panel1, QStringLiteral("終了する"), 368, 16, 105, 33);
    setTabOrder(SearchButton, StopButton);
    setTabOrder(StopButton, ExitButton);
}

void TMainForm::BuildResultsPage() {
    KeepChoice keep;
    keep.NoDelEntries = [this] { return NoDelEntries(); };
    keep.Rule = [this] { return KeepRuleSetting; };
    m_resultsPage = new ResultsPage(*m_results, std::move(keep), PageControl);
    TabSheet1 = m_resultsPage;
    PageControl->addTab(TabSheet1, QStringLiteral("検索結果"));

    FileOperationsWindow window;
    window.Window = this;
    window.NoDelEntries = [this] { return NoDelEntries(); };
    window.KeepRule = [this] { return KeepRuleSetting; };
    window.FlushPendingRows = [this] { FlushPendingRows(); };
    window.IsSearching = [this] { return IsSearching() || m_searchStarting; };
    window.ShowWalkedPath = [this](const std::string& path) { ShowWalkedPath(path); };
    m_fileOperations = new FileOperationsController(*m_results, *m_resultsPage, m_progress,
                                                    std::move(window), this);
}

void TMainForm::BuildTargetsPage() {
    TabSheet2 = new QWidget(PageControl);
    PageControl->addTab(TabSheet2, QStringLiteral("検索対象"));

    Panel11 = NewPanel(TabSheet2);
    Panel11->setGeometry(0, 0, 701, 25);
    DirLabel = FixedLabel(Panel11, QString(), 10, 5, 691, 15);

    DirectoryList = new FolderListBox(TabSheet2);
    DirectoryList->setGeometry(16, 24, 233, 233);
    DriveCombo = new DriveComboBox(TabSheet2);
    DriveCombo->setGeometry(16, 272, 233, 18);
    AddButton = NewButton(TabSheet2, QStringLiteral("追加する>>"), 256, 48, 89, 33);
    DelButton = NewButton(TabSheet2, QStringLiteral("<<削除する"), 256, 96, 89, 33);
    SearchList = NewReportList(TabSheet2, {{QStringLiteral("検索対象一覧"), 240}});
    SearchList->setGeometry(356, 24, 325, 273);
    SearchList->setSortingEnabled(true);
    SearchList->sortByColumn(0, Qt::AscendingOrder);
    SearchList->header()->setSectionsClickable(false);
    SearchList->header()->setSortIndicatorShown(false);
    SearchList->setEditTriggers(QAbstractItemView::SelectedClicked |
                                QAbstractItemView::EditKeyPressed);

    setTabOrder(SearchList, AddButton);
    setTabOrder(AddButton, DelButton);
    setTabOrder(DelButton, DirectoryList);
    setTabOrder(DirectoryList, DriveCombo);

    // The list starts in the process's current folder.
    const QByteArray current = QFile::encodeName(QDir::currentPath());
    DirectoryList->SetFolder(current.toStdString());
    DriveCombo->ShowDriveOf(DirectoryList->Folder());
}

void TMainForm::BuildNoDeletePage() {
    TabSheet3 = new QWidget(PageControl);
    PageControl->addTab(TabSheet3, QStringLiteral("ファイル操作設定"));
    auto* page = NewColumn(TabSheet3);
    AddPanel = NewPanel(TabSheet3);
    AddPanel->setFixedHeight(41);
    Label1 = new QLabel(QStringLiteral("追加する"), AddPanel);
    Label1->move(8, 16);
    Label1->adjustSize();
    AddText = new QLineEdit(AddPanel);
    AddText->setGeometry(64, 8, 625, 20);
    NoDelList = NewReportList(TabSheet3, {{QStringLiteral("削除しちゃ駄目リスト"), 250}});
    NoDelList->setSortingEnabled(true);
    NoDelList->sortByColumn(0, Qt::AscendingOrder);
    NoDelList->header()->setSectionsClickable(false);
    NoDelList->header()->setSortIndicatorShown(false);
    page->addWidget(AddPanel);
    page->addWidget(NoDelList, 1);
}

void TMainForm::ConnectHandlers() {
    connect(SearchButton, &QPushButton::clicked, this, &TMainForm::SearchButtonClick);
    connect(MenuStart, &QAction::triggered, this, &TMainForm::SearchButtonClick);
    connect(StopButton, &QPushButton::clicked, this, &TMainForm::StopButtonClick);
    connect(MenuStop, &QAction::triggered, this, &TMainForm::StopButtonClick);
    connect(ExitButton, &QPushButton::clicked, this, &TMainForm::ExitButtonClick);
    connect(MenuExit, &QAction::triggered, this, &TMainForm::ExitButtonClick);
    connect(MenuOptSet, &QAction::triggered, this, &TMainForm::MenuOptSetClick);
    connect(MenuAbout, &QAction::triggered, this, &TMainForm::MenuAboutClick);
    connect(MenuSkipped, &QAction::triggered, this, &TMainForm::MenuSkippedClick);
    connect(SkippedLabel, &QLabel::linkActivated, this, &TMainForm::MenuSkippedClick);

    connect(AddButton, &QPushButton::clicked, this, &TMainForm::AddButtonClick);
    connect(DelButton, &QPushButton::clicked, this, &TMainForm::DelButtonClick);
    connect(MenuDel, &QAction::triggered, this, &TMainForm::DelButtonClick);
    connect(MenuUndo, &QAction::triggered, this, &TMainForm::MenuUndoClick);
    connect(DirectoryList, &FolderListBox::FolderChanged, this, &TMainForm::ShowDirLabel);
    connect(DriveCombo, &DriveComboBox::DriveChosen, this,
            [this](const std::string& mountPoint) { DirectoryList->SetFolder(mountPoint); });

    ConnectResultsPage();
    // The must-not-delete list may have changed on its page.
    connect(PageControl, &QTabWidget::currentChanged, this, &TMainForm::MarkKeptMembers);
    SetUpNoDeletePage();
    SetUpFileOperations();
}

void TMainForm::ConnectResultsPage() {
    ResultsPage* page = m_resultsPage;
    connect(page->GroupView()->header(), &QHeaderView::sectionClicked, this,
            &TMainForm::SameListColumnClick);
    connect(page->GroupView()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TMainForm::SameListSelectItem);
    connect(&page->Groups(), &GroupListModel::SurplusBytesChanged, this,
            &TMainForm::ShowSurplusBytes);
    connect(page, &ResultsPage::MembersShown, this, &TMainForm::FormPaint);
    connect(m_fileOperations, &FileOperationsController::UndoAvailable, MenuUndo,
            &QAction::setEnabled);
    connect(page, &ResultsPage::OpenRequested, this, &TMainForm::OpenButtonClick);
    connect(MenuOpen, &QAction::triggered, this, &TMainForm::OpenButtonClick);
    connect(page->MemberView(), &QAbstractItemView::doubleClicked, this,
            &TMainForm::OpenButtonClick);
    connect(page, &ResultsPage::RenameRequested, this, &TMainForm::RenameButtonClick);
    connect(MenuRename, &QAction::triggered, this, &TMainForm::RenameButtonClick);
    connect(page, &ResultsPage::MoveRequested, this, &TMainForm::MoveButtonClick);
    connect(MenuMove, &QAction::triggered, this, &TMainForm::MoveButtonClick);
    connect(page, &ResultsPage::DeleteRequested, this, &TMainForm::FileDelButtonClick);
    connect(page, &ResultsPage::PropertiesRequested, this, &TMainForm::DetailPropertyClick);
    connect(page, &ResultsPage::BulkDeleteRequested, this, &TMainForm::AllDeleteClick);
    connect(page, &ResultsPage::PreviewRequested, this, &TMainForm::PreviewDeleteClick);
    connect(MenuPreview, &QAction::triggered, this, &TMainForm::PreviewDeleteClick);
    connect(MenuExport, &QAction::triggered, this, &TMainForm::ExportClick);
}

bool TMainForm::IsSearching() const {
    return StopButton->isEnabled();
}

void TMainForm::SetSearching(bool running) {
    // The command that becomes possible is enabled first and takes the focus from the one that
    // becomes impossible, so that the focus never falls to 終了する on its own: a Space or Enter
    // then would end the program and the results with it.
    QPushButton* now = running ? StopButton : SearchButton;
    QPushButton* gone = running ? SearchButton : StopButton;
    now->setEnabled(true);
    MenuStart->setEnabled(!running);
    MenuStop->setEnabled(running);
    if (gone->hasFocus()) {
        const bool resultsShown =
            PageControl->currentWidget() == TabSheet1 && m_resultsPage->Groups().Count() > 0;
        QWidget* next =
            running || !resultsShown ? static_cast<QWidget*>(now) : m_resultsPage->GroupView();
        next->setFocus(Qt::OtherFocusReason);
    }
    gone->setEnabled(false);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PageControl && event->type() == QEvent::Resize) {
        FormResize();
    } else if (watched == TabSheet2 && event->type() == QEvent::Resize) {
        Panel11->resize(TabSheet2->width(), Panel11->height());
        DirLabel->resize(Panel11->width() - DirLabel->x(), DirLabel->height());
        ShowDirLabel();
    } else if (watched == AddPanel && event->type() == QEvent::Resize) {
        AddText->resize(AddPanel->width() - 80, AddText->height());
    } else if (watched == m_resultsPage->MemberView()->viewport() &&
               event->type() == QEvent::Paint) {
        DetailListCustomDraw();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::FormResize() {
    const int height = PageControl->height();
    const int width = PageControl->width();
    DriveCombo->move(DriveCombo->x(), height - 70);
    DirectoryList->resize(DirectoryList->width(), height - 110);
    SearchList->resize(width - 375, height - 80);
}

void TMainForm::MenuOptSetClick() {
    OptSettingForm->SPriority->SetItemIndex(TOptSettingForm::PriorityItemOf(PriorityClass));
    OptSettingForm->SearchMode->SetItemIndex(CompareModeSetting);
    OptSettingForm->FilterBox->SetFilter(SearchFilterSetting);
    OptSettingForm->KeepChoice->SetItemIndex(static_cast<int>(KeepRuleSetting));
    if (UserDialogs::Exec(*OptSettingForm) != QDialog::Accepted) {
        return;
    }
    PriorityClass =
        TOptSettingForm::PriorityClassOf(OptSettingForm->SPriority->ItemIndex(), PriorityClass);
    SearchFilterSetting = OptSettingForm->FilterBox->Filter();
    KeepRuleSetting = func::KeepRuleOf(OptSettingForm->KeepChoice->ItemIndex());
    MarkKeptMembers();
    const int mode = OptSettingForm->SearchMode->ItemIndex();
    if (mode == CompareModeSetting) {
        return;
    }
    m_resultsPage->SizeLabel()->clear();
    CompareModeSetting = mode;
    FormPaint();
    update();
    ForgetDeletedRows();
    m_resultsPage->Clear();
    ShowResultCount();
}

void TMainForm::MenuAboutClick() {
    AboutBox->ProductName->setText(QStringLiteral("Dopplet"));
    AboutBox->Version->setText(QStringLiteral(DOPPLET_VERSION));
    AboutBox->Copyright->setText(QStringLiteral(DOPPLET_RIGHTS));
    const QString readme = QDir::cleanPath(QCoreApplication::applicationDirPath() + u'/' +
                                           QStringLiteral(DOPPLET_README_FROM_PROGRAM));
    AboutBox->OtherInfo->setText(QStringLiteral("サポートページ\r\n") +
                                 QUrl::fromLocalFile(readme).toString());
    UserDialogs::Exec(*AboutBox);
}

void TMainForm::ExitButtonClick() {
    close();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!FormClose()) {
        event->ignore();
        return;
    }
    event->accept();
    emit Closed();
}

bool TMainForm::FormClose() {
    StopButtonClick();
    return SaveSettings();
}
