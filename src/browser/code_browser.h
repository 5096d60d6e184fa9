#pragma once

#include <QIcon>
#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace vk {

class ScriptEditor;
class StatusSink;
class TSettings;

// The code browser: the tree beside the editor that lists the script's form
// events (under "Events") and Subs and Functions (under "Subs/Functions"),
// each with the icon of its state, and moves the editor to a declaration on
// double-click. It is rebuilt whole from a scan of the editor text after a
// load, when it is switched on, and once the application is idle after
// editing; the roots keep their expanded state across rebuilds. Everything
// runs on the user-interface thread.
class TCodeBrowser : public QObject {
    Q_OBJECT
public:
    // Runs one command and shows an error it raises (the main window's
    // RunCommand); used for the rescan that runs later, outside any command.
    using CommandRunner = std::function<bool(const std::function<void()>&)>;

    // Item data roles of a child node: the name's offset in the editor text
    // and the image index of its icon.
    static constexpr int kOffsetRole = Qt::UserRole;
    static constexpr int kImageRole = Qt::UserRole + 1;

    TCodeBrowser(QTreeWidget& tree, ScriptEditor& editor, const TSettings& settings,
                 StatusSink& status, CommandRunner runCommand);
    ~TCodeBrowser() override;

    // Applies the "Disable" setting: off hides the tree and stops rescans;
    // on shows it and rebuilds at once when a script is open.
    void SwitchCodeBrowser();
    [[nodiscard]] bool IsOn() const { return on_; }

    // After a script was loaded into the editor: rebuilds when on. The scan's
    // progress stays out of the status line, which keeps what the load
    // reported (the checksum check, say); only blocks that are not
    // terminated are shown there.
    void ScriptLoaded();
    // After the editor was cleared for another database or category: the
    // roots stay, the entries of the script that is gone do not (a
    // double-click on one would jump into an empty editor), and a pending
    // rescan is dropped.
    void ScriptClosed();
    // After an edit: arms one rescan for the moment the application is idle,
    // so a burst of keystrokes costs one scan. Nothing while off.
    void ScheduleRescan();
    [[nodiscard]] bool RescanPending() const { return rescan_.isActive(); }

    // Scans the editor text and refills the tree. An unexpected scan error
    // writes the error dump and goes on to the caller; the tree then holds
    // what was found before it.
    void Rebuild() { Rebuild(false); }

    // tvCodeBrowserDblClick: a child node moves the editor to its declaration
    // ("JumpTo" 0: the caret on the name; 1: at the start of its line).
    void tvCodeBrowserDblClick(QTreeWidgetItem* item);

    // The image list `ilCodeBrowser` the icon settings index.
    [[nodiscard]] const std::vector<QIcon>& Images() const { return images_; }

    // The jump to a 0-based line that leaves "JumpOffset" lines above it and
    // the caret at its start; the editor's own go-to-line when one is given.
    std::function<void(int line)> gotoLine;
    // The warnings panel: a line added, and one of the scan's earlier lines
    // taken out again when a rescan no longer reports it.
    std::function<void(std::string_view)> addWarning;
    std::function<void(std::string_view)> removeWarning;
    // After a rescan took its earlier lines out and found nothing to warn of.
    std::function<void()> warningsWithdrawn;
    // Where the program itself lives; the error dump goes there when it can.
    std::string programFolder;

signals:
    // A rebuild has refilled the tree (also after a failed scan).
    void rebuilt();

private:
    class TreeFiller;

    void Rebuild(bool afterLoad);
    void RescanWhenIdle();
    void GotoLineKeepingOffset(int line);
    void ShowWarnings(std::vector<std::string> warnings);
    void WriteDump(const std::string& dump);

    QTreeWidget& tree_;
    ScriptEditor& editor_;
    const TSettings& settings_;
    StatusSink& status_;
    CommandRunner runCommand_;
    std::vector<QIcon> images_;
    QTimer rescan_;
    bool on_ = false;
    // Expanded state of "Events" and "Subs/Functions", kept across rebuilds.
    std::array<bool, 2> expanded_ = {true, true};
    // The warning lines of the last scan, as shown.
    std::vector<std::string> warnings_;
};

}  // namespace vk
