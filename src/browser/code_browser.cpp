#include "browser/code_browser.h"

#include <QTreeWidget>
#include <algorithm>
#include <filesystem>

#include "browser/code_browser_images.h"
#include "browser/scan_dump.h"
#include "browser/script_scanner.h"
#include "common/status_sink.h"
#include "editor/ansi_text.h"
#include "editor/script_editor.h"
#include "settings/settings.h"

namespace vk {
namespace {

constexpr int kEventsRoot = 0;
constexpr int kSubsRoot = 1;

// Holds the tree's repainting back while it is refilled.
class SuspendedUpdates {
public:
    explicit SuspendedUpdates(QWidget& widget)
        : widget_(widget), wasEnabled_(widget.updatesEnabled()) {
        widget_.setUpdatesEnabled(false);
    }
    ~SuspendedUpdates() { widget_.setUpdatesEnabled(wasEnabled_); }
    SuspendedUpdates(const SuspendedUpdates&) = delete;
    SuspendedUpdates& operator=(const SuspendedUpdates&) = delete;

private:
    QWidget& widget_;
    bool wasEnabled_;
};

int ImageIndex(const TSettings& settings, ScanState state) {
    switch (state) {
        case ScanState::Code:
            return settings.iconCode;
        case ScanState::NoCode:
            return settings.iconNoCode;
        case ScanState::NoEnd:
            return settings.iconNoEnd;
    }
    return settings.iconNoCode;
}

}  // namespace

// Fills the tree as the scan finds entries. The roots are built outside the
// tree and handed to it in one go when the scan ends (or fails), which spares
// the view one update per entry on a long script.
class TCodeBrowser::TreeFiller final : public ScanObserver {
public:
    TreeFiller(TCodeBrowser& browser, bool quiet) : browser_(browser), quiet_(quiet) {}
    ~TreeFiller() override {
        // The roots were never handed over when the scan failed before they
        // were (an empty tree), and are handed over here when it failed after.
        HandOver();
    }
    TreeFiller(const TreeFiller&) = delete;
    TreeFiller& operator=(const TreeFiller&) = delete;

    void Status(std::string_view text, int level) override {
        if (!quiet_) browser_.status_.SetStatus(text, level);
    }
    void NotTerminated(std::string_view message) override {
        // Level 2 outlasts the ready text the load ends with.
        browser_.status_.SetStatus(message, quiet_ ? 2 : 1);
    }
    void Reset() override {
        browser_.tree_.clear();
        roots_ = {new QTreeWidgetItem({QStringLiteral("Events")}),
                  new QTreeWidgetItem({QStringLiteral("Subs/Functions")})};
    }
    void EntryFound(const ScanEntry& entry) override {
        QTreeWidgetItem* root = roots_[entry.kind == ScanKind::Event ? kEventsRoot : kSubsRoot];
        auto* item = new QTreeWidgetItem(root, {FromAnsi(entry.name)});
        item->setData(0, kOffsetRole, entry.offset);
        SetImage(*item, entry.state);
        items_.push_back(item);
    }
    void EntryFinished(std::size_t index, ScanState state) override {
        SetImage(*items_.at(index), state);
    }
    void Warning(std::string_view text) override { warnings.emplace_back(text); }
    void Failed(const std::string& text) override { dump = text; }

    void HandOver() {
        if (roots_[0] == nullptr) return;
        browser_.tree_.addTopLevelItems({roots_[0], roots_[1]});
        roots_ = {};
    }

    std::vector<std::string> warnings;
    std::string dump;

private:
    void SetImage(QTreeWidgetItem& item, ScanState state) {
        const int index = ImageIndex(browser_.settings_, state);
        item.setData(0, kImageRole, index);
        const auto& images = browser_.images_;
        item.setIcon(0, index >= 0 && static_cast<std::size_t>(index) < images.size()
                            ? images[static_cast<std::size_t>(index)]
                            : QIcon());
    }

    TCodeBrowser& browser_;
    bool quiet_;
    std::array<QTreeWidgetItem*, 2> roots_{};
    std::vector<QTreeWidgetItem*> items_;
};

TCodeBrowser::TCodeBrowser(QTreeWidget& tree, ScriptEditor& editor, const TSettings& settings,
                           StatusSink& status, CommandRunner runCommand)
    : tree_(tree),
      editor_(editor),
      settings_(settings),
      status_(status),
      runCommand_(std::move(runCommand)),
      images_(MakeCodeBrowserImages()) {
    tree_.setEditTriggers(QAbstractItemView::NoEditTriggers);
    rescan_.setSingleShot(true);
    // A zero interval fires once the events already queued (the rest of a
    // burst of keystrokes) have been handled: when the application is idle.
    rescan_.setInterval(0);
    connect(&rescan_, &QTimer::timeout, this, &TCodeBrowser::RescanWhenIdle);
    connect(&tree_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { tvCodeBrowserDblClick(item); });
}

TCodeBrowser::~TCodeBrowser() = default;

void TCodeBrowser::SwitchCodeBrowser() {
    if (settings_.codeBrowserDisabled) {
        on_ = false;
        rescan_.stop();
        tree_.hide();
        return;
    }
    on_ = true;
    if (editor_.isEnabled()) Rebuild();
    tree_.show();
}

void TCodeBrowser::ScriptLoaded() {
    // The load emptied the warnings panel: the scan's lines must go in again
    // even when they equal the last script's.
    warnings_.clear();
    if (on_) Rebuild(true);
}

void TCodeBrowser::ScriptClosed() {
    rescan_.stop();
    for (int i = 0; i < tree_.topLevelItemCount(); ++i)
        qDeleteAll(tree_.topLevelItem(i)->takeChildren());
}

void TCodeBrowser::ScheduleRescan() {
    if (on_ && !rescan_.isActive()) rescan_.start();
}

void TCodeBrowser::RescanWhenIdle() {
    if (!on_) return;
    if (runCommand_)
        runCommand_([this] { Rebuild(); });
    else
        Rebuild();
}

void TCodeBrowser::Rebuild(bool afterLoad) {
    // A rebuild that runs now makes a pending one needless.
    rescan_.stop();
    const std::array<QTreeWidgetItem*, 2> roots = {tree_.topLevelItem(kEventsRoot),
                                                   tree_.topLevelItem(kSubsRoot)};
    for (std::size_t i = 0; i < roots.size(); ++i)
        if (roots[i] != nullptr) expanded_[i] = roots[i]->isExpanded();

    {
        const SuspendedUpdates suspended(tree_);
        TreeFiller filler(*this, afterLoad);
        try {
            (void)ParseScript(editor_.Text(), filler);
        } catch (...) {
            // The nodes found so far stay; the roots come back collapsed.
            filler.HandOver();
            WriteDump(filler.dump);
            emit rebuilt();
            throw;
        }
        filler.HandOver();
        for (int i = 0; i < tree_.topLevelItemCount(); ++i)
            tree_.topLevelItem(i)->setExpanded(expanded_[static_cast<std::size_t>(i)]);
        ShowWarnings(std::move(filler.warnings));
    }
    emit rebuilt();
}

void TCodeBrowser::ShowWarnings(std::vector<std::string> warnings) {
    // The same warnings again (a rescan after each keystroke) leave the panel
    // alone, so it does not open again after the user closed it.
    if (warnings == warnings_) return;
    if (removeWarning)
        for (const std::string& line : warnings_) removeWarning(line);
    warnings_ = std::move(warnings);
    if (addWarning)
        for (const std::string& line : warnings_) addWarning(line);
    if (warnings_.empty() && warningsWithdrawn) warningsWithdrawn();
}

void TCodeBrowser::WriteDump(const std::string& dump) {
    if (dump.empty()) return;
    const std::optional<WrittenDump> written =
        WriteScanDump(dump, std::filesystem::path(programFolder), UserStateFolder());
    // An installed program cannot write beside itself: tell the user where
    // the dump went instead.
    if (written && written->inStateFolder && addWarning)
        addWarning("The scan error was written to " + written->path.string());
}

void TCodeBrowser::tvCodeBrowserDblClick(QTreeWidgetItem* item) {
    if (item == nullptr || item->parent() == nullptr) return;  // none, or a root
    const int offset = item->data(0, kOffsetRole).toInt();
    const int line = editor_.LineFromChar(offset);
    if (gotoLine)
        gotoLine(line);
    else
        GotoLineKeepingOffset(line);
    if (settings_.jumpTo == 0) editor_.SetCaret(offset);
    editor_.setFocus();
}

void TCodeBrowser::GotoLineKeepingOffset(int line) {
    // The view shows the target "JumpOffset" lines below its top edge (fewer
    // near the start of the text), the caret at the start of the line.
    const int top = std::max(0, line - std::max(0, settings_.jumpOffset));
    editor_.ScrollToLine(top);
    editor_.SetCaret(editor_.LineIndex(line));
    editor_.setFocus();
}

}  // namespace vk
