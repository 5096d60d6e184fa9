#include "help/topic_viewer.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProcess>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace vk {
namespace {

constexpr int kViewerWidth = 720;
constexpr int kViewerHeight = 560;

QToolButton* MakeButton(QWidget& parent, const char* name, QStyle::StandardPixmap icon,
                        const QString& hint) {
    auto* button = new QToolButton(&parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent.style()->standardIcon(icon));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setEnabled(false);
    return button;
}

bool AskXdgForHtmlViewer() {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return true;
#else
    constexpr int kXdgTimeoutMs = 3000;
    QProcess xdg;
    xdg.start(QStringLiteral("xdg-mime"),
              {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    if (!xdg.waitForFinished(kXdgTimeoutMs)) {
        xdg.kill();
        xdg.waitForFinished();
        return false;
    }
    return xdg.exitStatus() == QProcess::NormalExit && xdg.exitCode() == 0 &&
           !xdg.readAllStandardOutput().trimmed().isEmpty();
#endif
}

}  // namespace

TfTopicViewer::TfTopicViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fTopicViewer"));
    setWindowTitle(tr("Vellumkit Help"));
    resize(kViewerWidth, kViewerHeight);

    sbBack_ = MakeButton(*this, "sbBack", QStyle::SP_ArrowBack, tr("Back"));
    sbForward_ = MakeButton(*this, "sbForward", QStyle::SP_ArrowForward, tr("Forward"));
    tbTopic_ = new QTextBrowser(this);
    tbTopic_->setObjectName(QStringLiteral("tbTopic"));
    tbTopic_->setReadOnly(true);
    tbTopic_->setOpenLinks(true);
    tbTopic_->setOpenExternalLinks(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sbBack_);
    buttons->addWidget(sbForward_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(tbTopic_);

    connect(sbBack_, &QToolButton::clicked, tbTopic_, &QTextBrowser::backward);
    connect(sbForward_, &QToolButton::clicked, tbTopic_, &QTextBrowser::forward);
    connect(tbTopic_, &QTextBrowser::backwardAvailable, sbBack_, &QToolButton::setEnabled);
    connect(tbTopic_, &QTextBrowser::forwardAvailable, sbForward_, &QToolButton::setEnabled);
    connect(tbTopic_, &QTextBrowser::sourceChanged, this, [this] {
        setWindowTitle(tbTopic_->documentTitle().isEmpty() ? tr("Vellumkit Help")
                                                           : tbTopic_->documentTitle());
    });
}

void TfTopicViewer::ShowTopic(const QString& path) {
    tbTopic_->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    show();
    raise();
    activateWindow();
}

bool DesktopHasHtmlViewer() {
    static const bool has = AskXdgForHtmlViewer();
    return has;
}

void OpenHelpTopic(const QString& path, QWidget& owner) {
    if (DesktopHasHtmlViewer() && QDesktopServices::openUrl(QUrl::fromLocalFile(path))) return;
    auto* viewer =
        owner.findChild<TfTopicViewer*>(QStringLiteral("fTopicViewer"), Qt::FindDirectChildrenOnly);
    if (!viewer) viewer = new TfTopicViewer(&owner);
    viewer->ShowTopic(path);
}

}  // namespace vk
