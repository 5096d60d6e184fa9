#pragma once

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/road_fixture.h"
#include "cli/cli_runner.h"
#include "commence/check_in_recorder.h"
#include "history/history_recorder.h"
#include "history/recovery_folder.h"
#include "history/ui/script_keeper.h"

namespace vk::test {

// The main window as the program wires it, with the keeper of its script
// and the local history recording every check-in, over a private Commence
// world whose data folder the command-line tool shares.
class HistoryUiTest : public RoadTest {
protected:
    TScriptKeeper& Keeper() {
        if (!keeper_)
            keeper_ = &AttachScriptKeeper(Window(), Context(), history, RecoveryFolder::Default());
        return *keeper_;
    }

    // Acts, with real clicks, on the next `Dialog` shown modally.
    template <typename Dialog>
    void OnDialog(std::function<void(Dialog&)> act) {
        watcher_.disconnect();
        QObject::connect(&watcher_, &QTimer::timeout, [this, act] {
            if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
                watcher_.stop();
                ++dialogsShown;
                act(*dialog);
            }
        });
        watcher_.start(10);
    }
    static void Click(QWidget& dialog, const char* button) {
        auto* target = dialog.findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_TRUE(target) << button;
        QTest::mouseClick(target, Qt::LeftButton);
    }

    // Another client changes the form's script: a pull of the database with
    // the command-line tool, `edit` on the pulled file, and a push.
    void PushFromCli(const std::string& category, const std::string& form,
                     const std::function<std::string(const std::string&)>& edit) {
        const TempDir folder;
        const std::string scripts = (folder.path() / "scripts").string();
        const CliResult pull = RunCli({"pull", "Demo Sales", scripts});
        ASSERT_EQ(pull.exitCode, 0) << pull.err;
        const auto file = folder.path() / "scripts" / category / (form + ".vbs");
        WriteFileBytes(file, edit(ReadFileBytes(file)));
        const CliResult push = RunCli({"push", "Demo Sales", scripts});
        ASSERT_EQ(push.exitCode, 0) << push.err;
    }

    // The recovery files of editors in the data folder.
    static std::vector<std::filesystem::path> RecoveryFiles() {
        std::vector<std::filesystem::path> files;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(RecoveryFolder::Default(), ec))
            if (entry.path().extension() == ".recovery") files.push_back(entry.path());
        return files;
    }

    void CheckIn() { Window().Actions().acUpdate->trigger(); }

    std::vector<std::string> warnings;
    HistoryRecorder history{HistoryStore::DefaultFile(), HistoryLimits{},
                            [this](const std::string& w) { warnings.push_back(w); }};
    ScopedCheckInRecorder recording{history};
    int dialogsShown = 0;

private:
    QTimer watcher_;
    TScriptKeeper* keeper_ = nullptr;  // owned by the window
};

}  // namespace vk::test
