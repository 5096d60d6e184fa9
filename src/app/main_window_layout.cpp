// The main window's client area and status bar.
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>

#include "app/about.h"
#include "app/app_icons.h"
#include "app/main_window.h"
#include "editor/ansi_text.h"
#include "editor/named_object.h"
#include "editor/script_editor.h"

namespace vk {
namespace {

constexpr int kCodeBrowserIndent = 19;
// The code browser shows names of this many characters whole.
constexpr int kCodeBrowserNameChars = 20;
constexpr int kStatusBarHeight = 19;
// First sizes of the editor area; the splitters give it whatever the window
// has beside the code browser and the closed warnings panel.
constexpr int kDefaultEditorWidth = 663;
constexpr int kDefaultEditorHeight = 500;
constexpr std::array<int, TfMain::kStatusPanelCount> kPanelWidths = {200, 50, 200, 0};

}  // namespace

void TfMain::BuildCentralArea() {
    pnMain_ = Named(new QWidget(this), "pnMain");
    auto* layout = new QHBoxLayout(pnMain_);
    layout->setContentsMargins(0, 0, 0, 0);

    splHor_ = Named(new QSplitter(Qt::Horizontal, pnMain_), "splHor");
    layout->addWidget(splHor_);

    tvCodeBrowser_ = Named(new QTreeWidget(splHor_), "tvCodeBrowser");
    tvCodeBrowser_->setHeaderHidden(true);
    tvCodeBrowser_->setIndentation(kCodeBrowserIndent);
    tvCodeBrowser_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    splHor_->addWidget(tvCodeBrowser_);

    splVer_ = Named(new QSplitter(Qt::Vertical, splHor_), "splVer");
    splHor_->addWidget(splVer_);
    // The code browser keeps its width when the window is resized.
    splHor_->setStretchFactor(0, 0);
    splHor_->setStretchFactor(1, 1);
    splHor_->setSizes({DefaultCodeBrowserWidth(), kDefaultEditorWidth});

    reScript_ = Named(new ScriptEditor(splVer_), "reScript");
    reScript_->setEnabled(false);
    reScript_->setWrapMode(QsciScintilla::WrapNone);
    reScript_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reScript_->SendScintilla(QsciScintillaBase::SCI_SETHSCROLLBAR, 1UL);
    reScript_->setIndentationsUseTabs(true);
    reScript_->viewport()->installEventFilter(this);
    scriptMenu_ = BuildScriptMenu(*this, menuItems_);
    splVer_->addWidget(reScript_);

    pnWarnings_ = Named(new QWidget(splVer_), "pnWarnings");
    // The splitter may make the panel as low as this, whatever the memo's
    // scroll bar would like.
    pnWarnings_->setMinimumHeight(kWarningsMinHeight);
    auto* warnings = new QHBoxLayout(pnWarnings_);
    warnings->setContentsMargins(0, 0, 0, 0);
    warnings->setSpacing(0);
    sbHideWarnings_ = Named(new QToolButton(pnWarnings_), "sbHideWarnings");
    sbHideWarnings_->setIcon(MakeIcon(AppIcon::HideWarnings));
    sbHideWarnings_->setToolTip(QStringLiteral("Hide warnings"));
    sbHideWarnings_->setStatusTip(QStringLiteral("Hide warnings"));
    sbHideWarnings_->setAutoRaise(true);
    warnings->addWidget(sbHideWarnings_, 0, Qt::AlignTop);
    meWarnings_ = Named(new QPlainTextEdit(pnWarnings_), "meWarnings");
    meWarnings_->setReadOnly(true);
    meWarnings_->setLineWrapMode(QPlainTextEdit::NoWrap);
    meWarnings_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    meWarnings_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    warnings->addWidget(meWarnings_, 1);
    splVer_->addWidget(pnWarnings_);
    splVer_->setStretchFactor(0, 1);
    splVer_->setStretchFactor(1, 0);
    splVer_->setCollapsible(1, true);
    // The warnings panel starts closed; AddWarning opens it.
    splVer_->setSizes({kDefaultEditorHeight, 0});

    setCentralWidget(pnMain_);
}

int TfMain::DefaultCodeBrowserWidth() const {
    const QTreeWidget& tree = *tvCodeBrowser_;
    const QStyle& style = *tree.style();
    // An entry's name starts behind two indentation steps (the roots have
    // their branch marks too) and its icon, with the item margins around;
    // the vertical scroll bar of a long list takes its room as well. Capital
    // N stands for a name's characters: wider than most that names use.
    const int text =
        tree.fontMetrics().horizontalAdvance(QString(kCodeBrowserNameChars, QLatin1Char('N')));
    const int margins = 4 * (style.pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &tree) + 1);
    return 2 * tree.indentation() + style.pixelMetric(QStyle::PM_SmallIconSize, nullptr, &tree) +
           margins + text + 2 * tree.frameWidth() +
           style.pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &tree);
}

void TfMain::SetCodeBrowserWidth(int width) {
    QList<int> sizes = splHor_->sizes();
    const int total = std::max(sizes.value(0) + sizes.value(1), width + kDefaultEditorWidth);
    splHor_->setSizes({width, total - width});
}

int TfMain::CodeBrowserWidth() const { return splHor_->sizes().value(0); }

void TfMain::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("sbMain"));
    bar->setFixedHeight(kStatusBarHeight);
    static constexpr const char* kNames[] = {"sbMainPanel0", "sbMainPanel1", "sbMainPanel2",
                                             "sbMainPanel3"};
    for (size_t i = 0; i < statusPanels_.size(); ++i) {
        auto* panel = Named(new QLabel(bar), kNames[i]);
        panel->setTextFormat(Qt::PlainText);
        const int width = kPanelWidths[i];
        if (width > 0) {
            panel->setFixedWidth(width);
            bar->addWidget(panel);
        } else {
            bar->addWidget(panel, 1);  // the rest of the bar
        }
        statusPanels_[i] = panel;
    }
    statusPanels_[0]->setText(FromAnsi(kNoticeLine));
}

}  // namespace vk
