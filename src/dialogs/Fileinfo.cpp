#include "dialogs/Fileinfo.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

#include "dialogs/path_text.h"
#include "dialogs/placed_label.h"
#include "dialogs/window_frame.h"
#include "platform/path.h"

TFileInfoDialog* FileInfoDialog = nullptr;

namespace {

QFrame* BottomLine(QWidget* parent, int left, int top, int width, int height) {
    auto* line = new QFrame(parent);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    line->setGeometry(left, top + height - 2, width, 2);
    return line;
}

QCheckBox* CheckBox(QWidget* parent, const QString& text, int left, int top) {
    auto* box = new QCheckBox(text, parent);
    box->setGeometry(left, top, 97, 17);
    return box;
}

// The user's long time format as the desktop's clock shows it: hours, minutes and seconds,
// without the time zone that the locale's long format adds. Taken from the short format, with
// the seconds added where it has none ("H:mm" becomes "H:mm:ss").
QString LongTimeFormat(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (format.contains(QLatin1Char('s'))) {
        return format;
    }
    const qsizetype minutes = format.lastIndexOf(QLatin1Char('m'));
    if (minutes < 0) {
        return format;
    }
    qsizetype start = minutes;
    while (start > 0 && format[start - 1] == QLatin1Char('m')) {
        --start;
    }
    const QChar separator =
        start > 0 && !format[start - 1].isLetter() ? format[start - 1] : QLatin1Char(':');
    format.insert(minutes + 1, QString(separator) + QStringLiteral("ss"));
    return format;
}

}  // namespace

TFileInfoDialog::TFileInfoDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ﾌｧｲﾙの情報"));
    setWindowFlags(kDialogFrame);
    CentreOnScreenWhenShown(*this);
    setFixedSize(347, 323);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Bevel1->setGeometry(8, 8, 329, 273);

    Label1 = AutoLabel(this, QStringLiteral("名前"), 16, 24);
    FileName = FixedLabel(this, QString(), 48, 24, 281, 12);
    Label2 = AutoLabel(this, QStringLiteral("場所"), 16, 48);
    Directory = FixedLabel(this, QString(), 48, 48, 281, 25);
    Directory->setWordWrap(true);
    Directory->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label3 = AutoLabel(this, QStringLiteral("ｻｲｽﾞ"), 16, 80);
    FileSize = FixedLabel(this, QStringLiteral("FileSize"), 48, 80, 105, 12);
    Bevel2 = BottomLine(this, 16, 96, 313, 9);
    Label7 = AutoLabel(this, QStringLiteral("MS-DOS名"), 16, 112);
    ShortName = FixedLabel(this, QString(), 80, 112, 241, 12);
    ShortName->setWordWrap(true);
    Label4 = AutoLabel(this, QStringLiteral("作成日付"), 16, 136);
    CreateDate = FixedLabel(this, QString(), 80, 136, 241, 12);
    Label5 = AutoLabel(this, QStringLiteral("更新日付"), 16, 160);
    UpdateDate = FixedLabel(this, QString(), 80, 160, 249, 12);
    Bevel3 = BottomLine(this, 16, 176, 313, 9);

    ReadOnlyCB = CheckBox(this, QStringLiteral("読み取り専用"), 32, 200);
    HiddenCB = CheckBox(this, QStringLiteral("隠し属性"), 32, 224);
    ArchiveCB = CheckBox(this, QStringLiteral("ｱｰｶｲﾌﾞ"), 168, 200);
    SystemCB = CheckBox(this, QStringLiteral("ｼｽﾃﾑ属性"), 168, 224);
    CompressedCB = CheckBox(this, QStringLiteral("圧縮"), 32, 248);
    Label6 = AutoLabel(this, QStringLiteral("注)ﾁｪｯｸしても機能しません"), 192, 256);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setGeometry(127, 292, 75, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    setTabOrder(OKBtn, ReadOnlyCB);
    setTabOrder(ReadOnlyCB, HiddenCB);
    setTabOrder(HiddenCB, ArchiveCB);
    setTabOrder(ArchiveCB, SystemCB);
    setTabOrder(SystemCB, CompressedCB);
}

std::string TFileInfoDialog::FolderOf(const std::string& path) {
    return platform::IsAbsolute(path) ? platform::ParentFolder(path) : std::string();
}

QString TFileInfoDialog::DateText(const platform::FileTime& time) {
    // Beyond this a time in milliseconds no longer fits 64 bits.
    constexpr std::int64_t kLimit = INT64_MAX / 1000 - 1;
    if (time.Seconds > kLimit || time.Seconds < -kLimit) {
        return QString();
    }
    const QDateTime local =
        QDateTime::fromMSecsSinceEpoch(time.Seconds * 1000 + time.Nanoseconds / 1'000'000);
    if (!local.isValid()) {
        return QString();
    }
    const QLocale locale = QLocale::system();
    QString text = locale.toString(local.date(), QLocale::ShortFormat);
    const QTime clock = local.time();
    if (clock.hour() != 0 || clock.minute() != 0 || clock.second() != 0) {
        text += QLatin1Char(' ') + locale.toString(clock, LongTimeFormat(locale));
    }
    return text;
}

void TFileInfoDialog::FormShow() {
    const platform::FileAttributesResult read = platform::ReadFileAttributes(FilePath);
    if (read.Error) {
        return;
    }
    const platform::FileAttributes& file = read.Attributes;
    Directory->setText(PathText(FolderOf(FilePath)));
    FileName->setText(PathText(file.Name));
    ShortName->setText(PathText(file.ShortName.empty() ? file.Name : file.ShortName));
    ReadOnlyCB->setChecked(file.ReadOnly);
    ArchiveCB->setChecked(file.Archive);
    SystemCB->setChecked(file.System);
    HiddenCB->setChecked(file.Hidden);
    CompressedCB->setChecked(file.Compressed);
    FileSize->setText(file.IsFolder
                          ? QString()
                          : QStringLiteral("%1 ﾊﾞｲﾄ").arg(static_cast<qlonglong>(file.Size)));
    CreateDate->setText(file.Created ? DateText(*file.Created) : QString());
    UpdateDate->setText(DateText(file.Modified));
}

void TFileInfoDialog::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TFileInfoDialog::keyPressEvent(QKeyEvent* event) {
    // There is no cancel button: Esc does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
