#include "downloadmanager.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

DownloadRow::DownloadRow(const QString &target, QWidget *parent)
    : QWidget(parent)
    , m_target(target)
    , m_name(new QLabel(QFileInfo(target).fileName(), this))
    , m_state(new QLabel(QStringLiteral("正在开始…"), this))
    , m_progress(new QProgressBar(this))
    , m_cancel(new QPushButton(QStringLiteral("取消"), this))
{
    setObjectName(QStringLiteral("DownloadRow"));
    m_state->setObjectName(QStringLiteral("DownloadState"));
    m_cancel->setObjectName(QStringLiteral("DownloadCancel"));
    m_name->setTextFormat(Qt::PlainText);
    m_name->setToolTip(target);
    m_progress->setRange(0, 100);
    auto *openFolder = new QPushButton(QStringLiteral("打开文件夹"), this);
    auto *layout = new QHBoxLayout(this);
    auto *text = new QVBoxLayout;
    text->addWidget(m_name);
    text->addWidget(m_progress);
    text->addWidget(m_state);
    layout->addLayout(text, 1);
    layout->addWidget(m_cancel);
    layout->addWidget(openFolder);
    connect(m_cancel, &QPushButton::clicked, this, &DownloadRow::cancelRequested);
    connect(openFolder, &QPushButton::clicked, this, [this] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(m_target).absolutePath()));
    });
}

DownloadRow::~DownloadRow() = default;

void DownloadRow::showProgress(qint64 received, qint64 total, double bytesPerSecond)
{
    const QLocale locale;
    const QString speed = locale.formattedDataSize(qint64(bytesPerSecond)) + QStringLiteral("/秒");
    if (total > 0) {
        const int percent = int(received * 100 / total);
        m_progress->setValue(percent);
        m_state->setText(QStringLiteral("%1% · %2 / %3 · %4")
                             .arg(percent)
                             .arg(locale.formattedDataSize(received), locale.formattedDataSize(total), speed));
    } else {
        m_progress->setRange(0, 0);
        m_state->setText(QStringLiteral("%1 · %2").arg(locale.formattedDataSize(received), speed));
    }
}

void DownloadRow::showFinished(const QString &state)
{
    m_progress->setRange(0, 100);
    m_progress->setValue(state == u"已完成" ? 100 : m_progress->value());
    m_state->setText(state);
    m_cancel->setEnabled(false);
}

QString DownloadRow::state() const
{
    return m_state->text();
}

DownloadsWindow::DownloadsWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_rows(new QVBoxLayout)
{
    setObjectName(QStringLiteral("DownloadsWindow"));
    setWindowTitle(QStringLiteral("下载 - %1").arg(QGuiApplication::applicationDisplayName()));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_rows);
    layout->addStretch();
    resize(520, 160);
}

DownloadsWindow::~DownloadsWindow() = default;

DownloadRow *DownloadsWindow::addRow(const QString &target)
{
    auto *row = new DownloadRow(target, this);
    m_rows->insertWidget(0, row);
    return row;
}

DownloadManager::DownloadManager(QWebEngineProfile *profile)
    : QObject(profile)
    , m_lastFolder(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation))
{
    if (!QFileInfo(m_lastFolder).isDir())
        m_lastFolder = QDir::homePath();
    connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadManager::start);
}

DownloadManager::~DownloadManager()
{
    for (Entry &entry : m_entries)
        if (entry.request && !entry.request->isFinished())
            entry.request->cancel();
}

void DownloadManager::start(QWebEngineDownloadRequest *request)
{
    if (!m_staging.isValid()) {
        request->cancel();
        return;
    }
    const quint32 id = request->id();
    // The engine retries an interrupted transfer under the same id, from the start when the
    // server cannot resume. The retry is refused and the user told: a transfer that broke
    // once is reported, never silently repeated.
    if (m_settled.contains(id)) {
        request->cancel();
        return;
    }
    if (const auto known = m_entries.find(id); known != m_entries.end()) {
        request->cancel();
        known->request = nullptr;
        known->failure = QStringLiteral("网络连接中断");
        if (known->answered)
            finish(id);
        return;
    }
    Entry entry;
    entry.request = request;
    if (auto *view = QWebEngineView::forPage(request->page()))
        entry.window = view->window();
    const QString folder = m_staging.filePath(QString::number(id));
    QDir().mkpath(folder);
    request->setDownloadDirectory(folder);
    // Staged under a neutral name; the page's name is only a suggestion for the dialog.
    request->setDownloadFileName(QStringLiteral("download"));
    entry.staged = QDir(folder).filePath(QStringLiteral("download"));
    entry.clock.start();
    request->accept();
    m_entries.insert(id, entry);

    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this, [this, id] { update(id); });
    connect(request, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, id] { finish(id); });
    QTimer::singleShot(0, this, [this, id] { askTarget(id); });
}

void DownloadManager::askTarget(quint32 id)
{
    auto it = m_entries.find(id);
    if (it == m_entries.end() || !it->request)
        return;
    QString suggested = QFileInfo(it->request->suggestedFileName()).fileName();
    if (suggested.isEmpty())
        suggested = QStringLiteral("download");

    QFileDialog dialog(it->window, QStringLiteral("保存文件 - %1").arg(QGuiApplication::applicationDisplayName()),
                       QDir(m_lastFolder).filePath(suggested));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowIcon(QApplication::windowIcon());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();

    it = m_entries.find(id); // the dialog ran a nested event loop
    if (it == m_entries.end())
        return;
    if (!chosen) {
        it->userCancelled = true;
        if (it->request && !it->request->isFinished())
            it->request->cancel();
        discard(*it);
        m_entries.erase(it);
        m_settled.insert(id);
        return;
    }
    it->target = dialog.selectedFiles().first();
    it->answered = true;
    m_lastFolder = QFileInfo(it->target).absolutePath();

    DownloadsWindow *window = downloadsWindow(it->window);
    it->row = window->addRow(it->target);
    connect(it->row, &DownloadRow::cancelRequested, this, [this, id] {
        auto entry = m_entries.find(id);
        if (entry != m_entries.end() && entry->request && !entry->request->isFinished()) {
            entry->userCancelled = true;
            entry->request->cancel();
        }
    });
    window->show();
    window->raise();
    update(id);
    if (!it->failure.isEmpty() || (it->request && it->request->isFinished()))
        finish(id);
}

void DownloadManager::update(quint32 id)
{
    const auto it = m_entries.constFind(id);
    if (it == m_entries.cend() || !it->row || !it->request || it->request->isFinished())
        return;
    const double seconds = std::max<qint64>(it->clock.elapsed(), 1) / 1000.0;
    it->row->showProgress(it->request->receivedBytes(), it->request->totalBytes(),
                          double(it->request->receivedBytes()) / seconds);
}

void DownloadManager::finish(quint32 id)
{
    auto it = m_entries.find(id);
    if (it == m_entries.end() || !it->answered)
        return; // before the answer the dialog's outcome decides
    if (it->failure.isEmpty() && (!it->request || !it->request->isFinished()))
        return;
    Entry entry = *it;
    m_entries.erase(it);
    m_settled.insert(id);
    if (!entry.failure.isEmpty()) {
        discard(entry);
        reportFailure(entry, entry.failure);
        return;
    }

    const auto state = entry.request->state();
    if (state == QWebEngineDownloadRequest::DownloadCompleted) {
        QFile::remove(entry.target); // the save dialog already confirmed replacing it
        if (QFile::rename(entry.staged, entry.target)) {
            if (entry.row)
                entry.row->showFinished(QStringLiteral("已完成"));
            discard(entry);
            return;
        }
        QFile::remove(entry.target);
        discard(entry);
        reportFailure(entry, QStringLiteral("无法写入 %1").arg(QDir::toNativeSeparators(entry.target)));
        return;
    }
    discard(entry);
    if (entry.userCancelled || state == QWebEngineDownloadRequest::DownloadCancelled) {
        if (entry.row)
            entry.row->showFinished(QStringLiteral("已取消，未保存文件"));
        return;
    }
    reportFailure(entry, entry.request->interruptReasonString());
}

void DownloadManager::discard(Entry &entry)
{
    QDir(QFileInfo(entry.staged).absolutePath()).removeRecursively();
}

void DownloadManager::reportFailure(const Entry &entry, const QString &reason)
{
    const QString text = QStringLiteral("下载失败，未保存文件：%1\n原因：%2")
                             .arg(QFileInfo(entry.target).fileName(), reason);
    if (entry.row)
        entry.row->showFinished(QStringLiteral("失败：%1").arg(reason));
    // Not modal: a failure must not stop other work or other downloads.
    auto *box = new QMessageBox(QMessageBox::Warning, QGuiApplication::applicationDisplayName(), text,
                                QMessageBox::Ok, m_window ? static_cast<QWidget *>(m_window) : entry.window.data());
    box->setObjectName(QStringLiteral("DownloadFailedNotice"));
    box->setTextFormat(Qt::PlainText);
    box->setWindowIcon(QApplication::windowIcon());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

DownloadsWindow *DownloadManager::downloadsWindow(QWidget *near)
{
    if (!m_window) {
        // Owned by the program's main window, so it goes when the program closes.
        QWidget *owner = near;
        while (owner && owner->parentWidget())
            owner = owner->parentWidget()->window();
        m_window = new DownloadsWindow(owner);
        if (owner) {
            const QRect area = owner->geometry();
            m_window->move(area.right() - m_window->width() - 24, area.bottom() - m_window->height() - 48);
        }
    }
    return m_window;
}
