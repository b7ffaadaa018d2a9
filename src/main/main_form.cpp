#include "main/main_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>

#include "dialogs/About.h"
#include "dialogs/Opt_dialog.h"
#include "dialogs/Skipped_list.h"
#include "dialogs/path_text.h"
#include "dialogs/placed_label.h"
#include "dialogs/program_icon.h"
#include "dialogs/radio_group.h"
#include "dialogs/search_filter_box.h"
#include "dialogs/single_press_shortcut.h"
#include "dialogs/user_dialogs.h"
#include "dialogs/window_font.h"
#include "dialogs/window_frame.h"
#include "main/byte_count_text.h"
#include "main/file_operations_controller.h"
#include "main/group_list_model.h"
#include "main/main_status_bar.h"
#include "main/member_list_input.h"
#include "main/no_delete_page.h"
#include "main/program_info.h"
#include "main/progress_panel.h"
#include "main/report_list.h"
#include "main/results_page.h"
#include "main/search_jobs.h"
#include "main/settings_io.h"
#include "main/targets_page.h"
#include "main/window_parts.h"

TMainForm* MainForm = nullptr;

namespace {

// The stored filter as the search takes it.
search::SearchFilter SearchFilterOf(const func::SearchFilterSettings& settings) {
    static_assert(search::SearchFilter::kNoLimit == func::SearchFilterSettings::kNoLimit);
    search::SearchFilter filter;
    filter.MinSize = settings.MinSize;
    filter.MaxSize = settings.MaxSize;
    filter.Excluded = settings.ExcludeList;
    filter.EmptyFiles = settings.EmptyFiles;
    filter.HiddenFiles = settings.HiddenFiles;
    return filter;
}

// How long the group rows that a search hands over wait before they go into the list together.
constexpr int kRowFlushMs = 100;

}  // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent),
      m_results(std::make_unique<search::ResultTable>()),
      m_jobs(new SearchJobs(this)) {
    connect(m_jobs, &SearchJobs::Ended, this, &TMainForm::OnSearchEnded);
    setWindowTitle(QStringLiteral("DoppletSearcher"));
    setWindowFlags(kMainWindowFrame);
    setWindowIcon(QIcon(ProgramPixmap(32)));
    setFont(WindowFont(QStringLiteral("ＭＳ ゴシック")));

    BuildMenus();
    BuildStatusBar();

    auto* central = new QWidget(this);
    auto* layout = NewColumn(central);
    PageControl = new QTabWidget(central);
    PageControl->setObjectName(QStringLiteral("PageControl"));
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
    m_resultsPage->MemberView()->viewport()->installEventFilter(this);
    FormPaint();
    ShowResultCount();
}

TMainForm::~TMainForm() {
    DropMemberListEdit(m_resultsPage->MemberView());
    FinishAllSearches();
    // The page's lists read the result table, which goes before the window's children do.
    m_resultsPage->Clear();
    if (MainForm == this) {
        MainForm = nullptr;
    }
}

void TMainForm::BuildMenus() {
    MenuFile = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    MenuFile->setObjectName(QStringLiteral("MenuFile"));
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
    MenuOptSet->setObjectName(QStringLiteral("MenuOptSet"));
    MenuFile->addSeparator();
    MenuExit = MenuFile->addAction(QStringLiteral("終了(&X)"));
    MenuExit->setObjectName(QStringLiteral("MenuExit"));

    MenuFind = menuBar()->addMenu(QStringLiteral("検索(&S)"));
    MenuFind->setObjectName(QStringLiteral("MenuFind"));
    MenuStart = MenuFind->addAction(QStringLiteral("開始(&B)"));
    MenuStart->setObjectName(QStringLiteral("MenuStart"));
    MenuStop = MenuFind->addAction(QStringLiteral("中断(&E)"));
    MenuStop->setObjectName(QStringLiteral("MenuStop"));
    MenuStop->setEnabled(false);
    MenuFind->addSeparator();
    MenuSkipped = MenuFind->addAction(QStringLiteral("調べられなかったファイル(&L)..."));
    MenuSkipped->setObjectName(QStringLiteral("MenuSkipped"));
    MenuSkipped->setEnabled(false);

    MenuHelp = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    MenuHelp->setObjectName(QStringLiteral("MenuHelp"));
    MenuAbout = MenuHelp->addAction(QStringLiteral("Doppletについて(&A)"));
    MenuAbout->setObjectName(QStringLiteral("MenuAbout"));

    const std::pair<QAction*, const char*> named[] = {
        {MenuUndo, "MenuUndo"},    {MenuOpen, "MenuOpen"}, {MenuRename, "MenuRename"},
        {MenuMove, "MenuMove"},    {MenuDel, "MenuDel"},   {MenuPreview, "MenuPreview"},
        {MenuExport, "MenuExport"}};
    for (const auto& [action, name] : named) {
        action->setObjectName(QString::fromLatin1(name));
    }
}

void TMainForm::BuildStatusBar() {
    m_statusBar = new MainStatusBar(
        [this](QPainter& painter, const QRect& rect) { SStatusBarDrawPanel(painter, rect); }, this);
    setStatusBar(m_statusBar);
}

void TMainForm::BuildCommandPanel() {
    Panel1 = NewPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(68);
    SearchButton = NewButton(Panel1, QStringLiteral("検索する(&B)"), 104, 16, 105, 33);
    SearchButton->setObjectName(QStringLiteral("SearchButton"));
    StopButton = NewButton(Panel1, QStringLiteral("中断する(&E)"), 232, 16, 113, 33);
    StopButton->setObjectName(QStringLiteral("StopButton"));
    StopButton->setEnabled(false);
    ExitButton = NewButton(Panel1, QStringLiteral("終了する"), 368, 16, 105, 33);
    ExitButton->setObjectName(QStringLiteral("ExitButton"));
    setTabOrder(SearchButton, StopButton);
    setTabOrder(StopButton, ExitButton);
}

void TMainForm::BuildResultsPage() {
    KeepChoice keep;
    keep.NoDelEntries = [this] { return NoDelEntries(); };
    keep.Rule = [this] { return KeepRuleSetting; };
    m_resultsPage = new ResultsPage(*m_results, std::move(keep), PageControl);
    TabSheet1 = m_resultsPage;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PageControl->addTab(TabSheet1, QStringLiteral("検索結果"));

    FileOperationsWindow window;
    window.Window = this;
    window.NoDelEntries = [this] { return NoDelEntries(); };
    window.ProtectingEntry = [this](const std::string& path) {
        return m_noDeletePage->ProtectingEntry(path);
    };
    window.KeepRule = [this] { return KeepRuleSetting; };
    window.FlushPendingRows = [this] { FlushPendingRows(); };
    window.IsSearching = [this] { return IsSearching() || m_searchStarting; };
    window.ShowWalkedPath = [this](const std::string& path) { m_statusBar->ShowWalkedPath(path); };
    m_fileOperations = new FileOperationsController(*m_results, *m_resultsPage, m_progress,
                                                    std::move(window), this);
}

void TMainForm::BuildTargetsPage() {
    m_targetsPage = new TargetsPage(PageControl);
    m_targetsPage->setObjectName(QStringLiteral("TabSheet2"));
    PageControl->addTab(m_targetsPage, QStringLiteral("検索対象"));
}

void TMainForm::BuildNoDeletePage() {
    m_noDeletePage = new NoDeletePage(PageControl);
    m_noDeletePage->setObjectName(QStringLiteral("TabSheet3"));
    PageControl->addTab(m_noDeletePage, QStringLiteral("ファイル操作設定"));
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
    connect(m_statusBar, &MainStatusBar::SkippedLinkActivated, this, &TMainForm::MenuSkippedClick);

    connect(MenuDel, &QAction::triggered, this, &TMainForm::DelButtonClick);
    connect(MenuUndo, &QAction::triggered, this, &TMainForm::MenuUndoClick);

    ConnectResultsPage();
    // The must-not-delete list may have changed on its page.
    connect(PageControl, &QTabWidget::currentChanged, this, &TMainForm::MarkKeptMembers);
    AttachMemberListInput(m_resultsPage->MemberView(), *m_fileOperations);
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
    } else if (watched == m_resultsPage->MemberView()->viewport() &&
               event->type() == QEvent::Paint) {
        DetailListCustomDraw();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::FormResize() {
    m_targetsPage->FitTo(PageControl->size());
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

void TMainForm::LoadSettings() {
    const func::LoadedSettings loaded = func::ReadSettingsFile(IniFileName);
    m_settingsFileState = loaded.State;
    const func::Settings& settings = loaded.Values;
    PlaceWindow(*this, settings);
    SetOptions({settings.PriorityClass, settings.CompareModeSetting, settings.Filter,
                func::KeepRuleOf(settings.KeepRuleSetting)});
    SetNoDelEntries(settings.NoDelList);
    TidyNoDelList();
    // Said once the window is on the screen.
    const QString warning = LoadWarning(loaded, IniFileName);
    if (!warning.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this, warning] { UserDialogs::Show(this, QMessageBox::Warning, warning); },
            Qt::QueuedConnection);
    }
}

bool TMainForm::SaveSettings() {
    TidyNoDelList();
    func::Settings settings;
    StorePlacement(*this, settings);
    const WindowOptions options = Options();
    settings.PriorityClass = options.PriorityClass;
    settings.CompareModeSetting = options.CompareMode;
    settings.Filter = options.Filter;
    settings.KeepRuleSetting = static_cast<std::int32_t>(options.Keep);
    settings.NoDelList = NoDelEntries();
    return WriteSettingsFile(*this, IniFileName, settings, m_settingsFileState);
}

void TMainForm::AddButtonClick() {
    m_targetsPage->AddBrowsedFolder();
}

void TMainForm::DelButtonClick() {
    m_targetsPage->RemoveSelected();
}

void TMainForm::AddTargets(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        m_targetsPage->AddFolder(folder);
    }
    PageControl->setCurrentWidget(m_targetsPage);
}

void TMainForm::AddTextKeyPress(char key) {
    if (key == '\r') {
        m_noDeletePage->AddTyped();
    }
}

void TMainForm::NoDelListEdited(QTreeWidgetItem* row) {
    m_noDeletePage->Edited(row);
}

void TMainForm::NoDelListExit() {
    TidyNoDelList();
}

void TMainForm::TidyNoDelList() {
    m_noDeletePage->Tidy();
}

std::vector<std::string> TMainForm::NoDelEntries() const {
    return m_noDeletePage->Entries();
}

void TMainForm::SetNoDelEntries(const std::vector<std::string>& entries) {
    m_noDeletePage->SetEntries(entries);
}

WindowOptions TMainForm::Options() const {
    return {PriorityClass, CompareModeSetting, SearchFilterSetting, KeepRuleSetting};
}

void TMainForm::SetOptions(const WindowOptions& options) {
    PriorityClass = options.PriorityClass;
    CompareModeSetting = options.CompareMode;
    SearchFilterSetting = options.Filter;
    KeepRuleSetting = options.Keep;
}

void TMainForm::OpenButtonClick() {
    m_fileOperations->Open();
}

void TMainForm::RenameButtonClick() {
    m_fileOperations->Rename();
}

void TMainForm::MoveButtonClick() {
    m_fileOperations->Move();
}

void TMainForm::FileDelButtonClick() {
    m_fileOperations->Delete();
}

void TMainForm::DetailPropertyClick() {
    m_fileOperations->ShowProperties();
}

void TMainForm::AllDeleteClick() {
    m_fileOperations->BulkDelete();
}

void TMainForm::PreviewDeleteClick() {
    m_fileOperations->PreviewBulkDelete();
}

void TMainForm::ExportClick() {
    m_fileOperations->Export();
}

void TMainForm::MenuUndoClick() {
    m_fileOperations->Undo();
}

void TMainForm::SetFileActions(func::FileActions actions) {
    m_fileOperations->SetFileActions(std::move(actions));
}

void TMainForm::DetailListEditing() {
    m_fileOperations->EditStarted();
}

void TMainForm::DetailListEdited(int slot, QString& text) {
    m_fileOperations->NameEdited(slot, text);
}

void TMainForm::EndInPlaceEdit() {
    m_fileOperations->EditEnded();
}

void TMainForm::DetailListKeyDown(int key) {
    if (!m_fileOperations->IsEditing() && key == Qt::Key_Delete) {
        m_fileOperations->Delete();
    }
}

void TMainForm::ShowResultCount() {
    // The group list's header counts its rows itself.
    ShowSurplusBytes();
}

void TMainForm::ShowSurplusBytes() {
    // In the name modes the copies of a group need not hold the same bytes. While a search runs,
    // the bar's room goes to the path that it is at.
    const bool shown =
        CompareModeSetting == 0 && !IsSearching() && m_resultsPage->Groups().Count() > 0;
    m_statusBar->ShowSurplus(shown ? QStringLiteral("余分なコピー %1 バイト")
                                         .arg(ByteCountText(m_resultsPage->Groups().SurplusBytes()))
                                   : QString());
}

void TMainForm::SameListColumnClick(int column) {
    // Rows added later go to the end.
    FlushPendingRows();
    m_resultsPage->SortGroupsBy(column);
}

void TMainForm::SameListSelectItem() {
    m_resultsPage->ShowSelectedGroup();
}

void TMainForm::MarkKeptMembers() {
    m_resultsPage->Shown().MarkKeptMembers();
}

void TMainForm::paintEvent(QPaintEvent* event) {
    FormPaint();
    QMainWindow::paintEvent(event);
}

void TMainForm::FormPaint() {
    // The window repaints after a selection; its layout pass empties the size label again in the
    // name modes.
    m_resultsPage->ShowCompareMode(CompareModeSetting);
}

void TMainForm::DetailListCustomDraw() {
    m_resultsPage->KeepMemberColumnsOf(CompareModeSetting);
}

void TMainForm::SStatusBarDrawPanel(QPainter& painter, const QRect& rect) {
    painter.fillRect(rect, palette().color(QPalette::Button));
    const std::int32_t position = m_progress.Position.load(std::memory_order_relaxed);
    const std::int32_t total = m_progress.Total.load(std::memory_order_relaxed);
    if (position == 0 || total == 0) {
        return;
    }
    // Computed in 64 bits so that a large count cannot overflow; never wider than the panel.
    const std::int64_t right = std::min<std::int64_t>(
        static_cast<std::int64_t>(rect.width()) * position / total, rect.right() + 1);
    if (right <= rect.left() + 1) {
        return;
    }
    painter.fillRect(QRect(QPoint(rect.left() + 1, rect.top() + 1),
                           QPoint(static_cast<int>(right) - 1, rect.bottom())),
                     QColor(0, 0, 255));
}

void TMainForm::SearchButtonClick() {
    // Only one search runs at a time: the commands switch only when the job's SearchStarted has
    // run, so a second command before that is turned away here.
    if (m_searchStarting || IsSearching()) {
        return;
    }
    m_results->Group(0).MemberCount = 0;
    ApplyPriorityClass(PriorityClass);

    auto* job = new search::SFileSearch(*this, *m_results, m_progress);
    job->SetMode(CompareModeSetting);
    job->SetFilter(SearchFilterOf(SearchFilterSetting));
    // The name modes' member list says which copies really match.
    job->SetContentMatches(true);
    SearchJob = job->Signal();
    m_jobs->Track(SearchJob);
    m_searchStarting = true;
    if (!job->Resume()) {
        // No worker could be started: the job has ended already, and says nothing itself.
        UserDialogs::Open(
            this, QString::fromUtf8(search::kMessageOutOfMemory), Qt::NonModal, [this] {
                UserDialogs::Open(this, QString::fromUtf8(search::kMessageError), Qt::NonModal, {});
            });
        return;
    }

    m_resultsPage->SizeLabel()->clear();
}

void TMainForm::StopButtonClick() {
    if (!IsSearching()) {
        return;
    }
    const std::shared_ptr<search::SearchSignal> signal = SearchJob;
    signal->RequestStop();
    m_jobs->ServeHandOversUntil([this, &signal] { return !m_jobs->IsLive(signal.get()); });
}

std::vector<std::string> TMainForm::SearchStarted() {
    m_searchStarting = false;
    std::vector<std::string> rows = m_targetsPage->Targets();
    SetSearching(true);
    m_pendingGroups.clear();
    ForgetDeletedRows();
    m_resultsPage->Clear();
    ShowResultCount();
    // What the last search could not look at is no longer what the lists show.
    if (SkippedList != nullptr) {
        SkippedList->ShowPaths(nullptr);
    }
    m_skipped = std::make_shared<std::vector<search::SkippedPath>>();
    ShowSkippedCount();
    emit SearchStateChanged(true);
    return rows;
}

void TMainForm::StatusUpdate(const search::StatusReport& report) {
    m_statusBar->ShowStatus(QString::fromStdString(report.PhaseText), PathText(report.StatusText));
}

void TMainForm::PostGroupRow(int groupIndex) {
    const search::ResultGroup& group = m_results->Group(groupIndex);
    if (group.MemberCount < 2 || group.Members.empty()) {
        return;
    }
    m_pendingGroups.push_back(groupIndex);
    // While a search runs, the rows of a moment go into the list together: the list lays itself
    // out once for them instead of once for every row.
    if (!IsSearching()) {
        FlushPendingRows();
    } else if (!m_rowFlush->isActive()) {
        m_rowFlush->start();
    }
}

void TMainForm::PostContentMatches(int groupIndex,
                                   const std::vector<search::ContentMatch>& matches) {
    std::vector<search::ResultMember>& members = m_results->Group(groupIndex).Members;
    for (std::size_t slot = 0; slot < std::min(matches.size(), members.size()); ++slot) {
        search::ResultMember& member = members[slot];
        if (member.IsFree()) {
            continue;
        }
        member.Content = matches[slot];
    }
    // The search compared every member with the one in slot 0.
    m_resultsPage->Shown().SetContentReference(groupIndex, 0);
    m_resultsPage->Shown().RefreshContents();
}

void TMainForm::PathSkipped(const search::SkippedPath& skipped) {
    // Only kept while the search runs: the window tells of them when it ends.
    m_skipped->push_back(skipped);
}

void TMainForm::ForgetDeletedRows() {
    m_fileOperations->ForgetDeletedRows();
}

void TMainForm::ShowSkippedCount() {
    const bool shown = !IsSearching() && !m_skipped->empty();
    MenuSkipped->setEnabled(shown);
    m_statusBar->ShowSkippedLink(shown ? SkippedCountText(*m_skipped) : QString());
    if (shown && SkippedList != nullptr && SkippedList->isVisible()) {
        SkippedList->ShowPaths(m_skipped);
    }
}

void TMainForm::MenuSkippedClick() {
    if (IsSearching()) {
        return;
    }
    if (SkippedList == nullptr) {
        SkippedList = new TSkippedListForm(this);
    }
    SkippedList->ShowPaths(m_skipped);
    SkippedList->show();
    SkippedList->raise();
    SkippedList->activateWindow();
}

void TMainForm::FlushPendingRows() {
    m_rowFlush->stop();
    if (m_pendingGroups.empty()) {
        return;
    }
    m_resultsPage->Groups().Append(m_pendingGroups);
    m_pendingGroups.clear();
    ShowResultCount();
}

void TMainForm::SearchFinished() {
    FlushPendingRows();
    SetSearching(false);
    ShowResultCount();
    ShowSkippedCount();
    ApplyPriorityClass(32);
    emit SearchStateChanged(false);
}

void TMainForm::ApplyPriorityClass(int priorityClass) {
    m_jobs->ApplyPriorityClass(priorityClass);
}

void TMainForm::RunOnWindowThread(const std::function<void()>& procedure) {
    m_jobs->RunOnWindowThread(procedure);
}

void TMainForm::PostToWindowThread(std::function<void()> procedure) {
    m_jobs->PostToWindowThread(std::move(procedure));
}

void TMainForm::ShowMessage(const std::string& text) {
    m_jobs->ShowMessage(text);
}

void TMainForm::OnSearchEnded(const search::SearchSignal* signal) {
    if (m_searchStarting && SearchJob.get() == signal) {
        m_searchStarting = false;  // it ended before SearchStarted (out of memory at its start)
    }
    emit SearchJobEnded();
}

void TMainForm::FinishAllSearches() {
    if (IsSearching()) {
        SearchJob->RequestStop();
    }
    m_jobs->FinishAll();
}
