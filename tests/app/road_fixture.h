#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <string>

#include "app/editing_context.h"
#include "app/main_window.h"
#include "app/name_menu.h"
#include "commence/transfer.h"
#include "common/status_sink.h"
#include "editor/ansi_text.h"
#include "editor/script_editor.h"
#include "platform/registry.h"
#include "settings/settings.h"
#include "support/commence_fixture.h"
#include "support/recording_message_service.h"
#include "support/test_support.h"

namespace vk::test {

// The main window over a private Commence world: demo databases registered by
// the real setup, servers started by the program itself through the
// registry's program folder, and a message service that records and answers.
class RoadTest : public ::testing::Test {
protected:
    // Keywords in blue and bold, everything else in the window text colour.
    static constexpr std::uint32_t kKeywordColor = 0xFF0000;

    RoadTest() {
        if (auto colors = registry.OpenKey(Hive::CurrentUser,
                                           std::string(kProgramKey) + "\\Color Settings", true))
            colors->WriteBinary("Keyword", {0x00, 0x00, 0xFF, 0x00, 0x01});
    }

    TSettings& Settings() {
        if (!settings_) settings_ = std::make_unique<TSettings>(registry);
        return *settings_;
    }

    // The window with its editing context, wired as the program wires them.
    TfMain& Window() {
        if (!window_) {
            window_ = std::make_unique<TfMain>(Settings(), messages);
            context_ = std::make_unique<TEditingContext>(*window_, window_->ColorStream());
        }
        return *window_;
    }
    TEditingContext& Context() {
        Window();
        return *context_;
    }
    ScriptEditor& Editor() { return *Window().reScript(); }
    std::string Panel(int index) { return ToAnsi(Window().StatusPanel(index)->text()); }
    std::string Caption(QToolButton* button) { return ToAnsi(button->text()); }

    // The item of a name menu, by the name it stands for.
    static QAction* Item(QMenu* menu, const std::string& name) {
        for (QAction* action : menu->actions())
            if (!action->isSeparator() && action->text() == CaptionOf(name)) return action;
        ADD_FAILURE() << "no menu item " << name;
        return nullptr;
    }
    static QStringList Names(QMenu* menu) {
        QStringList names;
        for (QAction* action : menu->actions())
            names << (action->isSeparator() ? QStringLiteral("|") : action->text());
        return names;
    }

    // Clicks through the toolbar's menus as the user does.
    void Pick(QMenu* menu, const std::string& name) {
        if (QAction* item = Item(menu, name)) item->trigger();
    }
    void OpenForm(const std::string& database, const std::string& category,
                  const std::string& form) {
        const MainToolbars& bars = Window().Toolbars();
        Window().Actions().acLoadDatabases->trigger();
        Pick(bars.pmDatabases, database);
        if (Context().CurrentCategory() != category) Pick(bars.pmCategories, category);
        Pick(bars.pmForms, form);
    }

    // What Commence holds for a form, read by a real check-out.
    std::string ServerScript(const std::string& database, const std::string& category,
                             const std::string& form) {
        NullStatusSink quiet;
        return ScriptTransfer(registry, quiet).CheckOut({database, category, form});
    }

    // Puts the caret at the start of a line and types there, as the user
    // does (Windows-1252 characters included).
    void TypeAtLine(int line, const QString& text) {
        Editor().SetCaret(Editor().LineIndex(line));
        for (const QChar ch : text) {
            if (ch.unicode() < 0x80) {
                QTest::keyClick(&Editor(), static_cast<char>(ch.unicode()));
                continue;
            }
            // QtTest types ASCII only; other characters arrive as the
            // keyboard sends them, as text.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(&Editor(), &press);
        }
    }

    CommenceFixture commence;
    Registry registry{commence.RegistryDir()};
    RecordingMessageService messages;

private:
    std::unique_ptr<TSettings> settings_;
    std::unique_ptr<TfMain> window_;
    std::unique_ptr<TEditingContext> context_;  // goes before the window
};

}  // namespace vk::test
