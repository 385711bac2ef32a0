#include "webpage.h"

#include <QApplication>
#include <QAuthenticator>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHash>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineView>

#include "pagerules.h"

namespace {

QString applicationCaption()
{
    return QGuiApplication::applicationDisplayName();
}

void decorate(QWidget *dialog)
{
    dialog->setWindowTitle(applicationCaption());
    dialog->setWindowIcon(QApplication::windowIcon());
}

// Answers to permission questions, for this run only and shared by every window.
QHash<QPair<QString, int>, bool> &permissionAnswers()
{
    static QHash<QPair<QString, int>, bool> answers;
    return answers;
}

QString siteName(const QUrl &url)
{
    return url.port() > 0 ? url.host() + u':' + QString::number(url.port()) : url.host();
}

} // namespace

WebPage::WebPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    // The engine reads the authenticator as soon as the signal returns, so these ask at once.
    connect(this, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl &url, QAuthenticator *auth) { askCredentials(url, auth, siteName(url)); });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl &url, QAuthenticator *auth, const QString &proxyHost) {
                askCredentials(url, auth, proxyHost);
            });
    connect(this, &QWebEnginePage::certificateError, this, &WebPage::refuseCertificate);
    connect(this, &QWebEnginePage::featurePermissionRequested, this, &WebPage::askPermission);
}

WebPage::~WebPage() = default;

QWidget *WebPage::dialogParent() const
{
    auto *view = qobject_cast<QWebEngineView *>(QWebEngineView::forPage(this));
    return view ? view->window() : nullptr;
}

void WebPage::javaScriptAlert(const QUrl &, const QString &msg)
{
    QMessageBox box(QMessageBox::Information, applicationCaption(), pageMessageText(msg),
                    QMessageBox::Ok, dialogParent());
    box.setTextFormat(Qt::PlainText);
    decorate(&box);
    box.exec();
}

bool WebPage::javaScriptConfirm(const QUrl &, const QString &msg)
{
    QMessageBox box(QMessageBox::Question, applicationCaption(), pageMessageText(msg),
                    QMessageBox::Ok | QMessageBox::Cancel, dialogParent());
    box.setTextFormat(Qt::PlainText);
    decorate(&box);
    return box.exec() == QMessageBox::Ok;
}

bool WebPage::javaScriptPrompt(const QUrl &, const QString &msg, const QString &defaultValue,
                               QString *result)
{
    QInputDialog dialog(dialogParent());
    decorate(&dialog);
    dialog.setLabelText(pageMessageText(msg));
    dialog.setTextValue(defaultValue);
    for (QLabel *label : dialog.findChildren<QLabel *>())
        label->setTextFormat(Qt::PlainText);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *result = dialog.textValue();
    return true;
}

QStringList WebPage::chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                                 const QStringList &acceptedMimeTypes)
{
    QFileDialog dialog(dialogParent(), applicationCaption());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowIcon(QApplication::windowIcon());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    switch (mode) {
    case FileSelectOpen:
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    case FileSelectOpenMultiple:
        dialog.setFileMode(QFileDialog::ExistingFiles);
        break;
    case FileSelectUploadFolder:
        dialog.setFileMode(QFileDialog::Directory);
        break;
    case FileSelectSave:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        break;
    }
    if (mode != FileSelectUploadFolder)
        dialog.setNameFilters(nameFiltersForAccept(acceptedMimeTypes));
    if (!oldFiles.isEmpty())
        dialog.selectFile(oldFiles.first());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

bool WebPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (isWebScheme(url.scheme()))
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    // Handing an address to another program is the user's decision, asked outside the engine's call.
    QTimer::singleShot(0, this, [this, url] { askExternalOpen(url); });
    return false;
}

void WebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                       int lineNumber, const QString &sourceID)
{
    // The engine refuses window.close() in a window the user opened once it has navigated, and
    // says so only on the console. The program's window asks the user instead, as it does for
    // any other close.
    if (level == WarningMessageLevel
        && message == u"Scripts may close only the windows that were opened by them.") {
        QTimer::singleShot(0, this, &QWebEnginePage::windowCloseRequested);
        return;
    }
    QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceID);
}

void WebPage::askExternalOpen(const QUrl &url)
{
    QMessageBox box(QMessageBox::Question, applicationCaption(),
                    QStringLiteral("网页要用其他程序打开以下地址：\n\n%1\n\n是否打开？")
                        .arg(pageMessageText(url.toDisplayString())),
                    QMessageBox::Yes | QMessageBox::No, dialogParent());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    decorate(&box);
    if (box.exec() == QMessageBox::Yes)
        QDesktopServices::openUrl(url);
}

void WebPage::askCredentials(const QUrl &url, QAuthenticator *authenticator, const QString &host)
{
    QDialog dialog(dialogParent());
    decorate(&dialog);
    auto *form = new QFormLayout(&dialog);
    auto *intro = new QLabel(&dialog);
    intro->setTextFormat(Qt::PlainText);
    intro->setWordWrap(true);
    const QString realm = authenticator->realm();
    intro->setText(realm.isEmpty()
                       ? QStringLiteral("%1 要求输入用户名和密码。").arg(host)
                       : QStringLiteral("%1 要求输入用户名和密码。\n站点说明：%2").arg(host, realm));
    if (url.scheme() == u"http" && host == siteName(url))
        intro->setText(intro->text() + QStringLiteral("\n注意：连接未加密，密码将以明文发送。"));
    form->addRow(intro);
    auto *user = new QLineEdit(authenticator->user(), &dialog);
    user->setObjectName(QStringLiteral("user"));
    auto *password = new QLineEdit(&dialog);
    password->setObjectName(QStringLiteral("password"));
    password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("用户名："), user);
    form->addRow(QStringLiteral("密码："), password);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    if (dialog.exec() == QDialog::Accepted) {
        authenticator->setUser(user->text());
        authenticator->setPassword(password->text());
    } else {
        // A null authenticator cancels the request; the server's own 401 page is shown.
        *authenticator = QAuthenticator();
    }
}

void WebPage::refuseCertificate(const QWebEngineCertificateError &error)
{
    // Never overridable from the program: the load ends with the engine's error page, and
    // the view puts the reason on top of it.
    QWebEngineCertificateError refused = error;
    refused.rejectCertificate();
    // Only the page's own address gets the explanation; a refused image or script just fails.
    if (error.url() != requestedUrl())
        return;
    emit certificateRefused(error.url(), error.description());
}

void WebPage::askPermission(const QUrl &origin, Feature feature)
{
    const QString what = featureDescription(feature);
    const auto key = qMakePair(origin.toString(), int(feature));
    if (what.isEmpty()) {
        setFeaturePermission(origin, feature, PermissionDeniedByUser);
        return;
    }
    if (const auto known = permissionAnswers().constFind(key); known != permissionAnswers().cend()) {
        setFeaturePermission(origin, feature, *known ? PermissionGrantedByUser : PermissionDeniedByUser);
        return;
    }
    QPointer<WebPage> self(this);
    QTimer::singleShot(0, this, [self, origin, feature, what, key] {
        if (!self)
            return;
        QMessageBox box(QMessageBox::Question, applicationCaption(),
                        QStringLiteral("网站 %1 请求%2。\n\n是否允许？（本次运行期间有效）")
                            .arg(siteName(origin), what),
                        QMessageBox::Yes | QMessageBox::No, self->dialogParent());
        box.setTextFormat(Qt::PlainText);
        box.setDefaultButton(QMessageBox::No);
        decorate(&box);
        const bool granted = box.exec() == QMessageBox::Yes;
        permissionAnswers().insert(key, granted);
        if (self)
            self->setFeaturePermission(origin, feature,
                                       granted ? PermissionGrantedByUser : PermissionDeniedByUser);
    });
}
