#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QStringList>
#include <QToolBar>
#include <memory>

#include "app/main_window.h"
#include "platform/registry.h"
#include "settings/settings.h"
#include "support/recording_message_service.h"
#include "support/test_support.h"

namespace vk::test {

// A main window over a registry in a fresh temp folder, with a message
// service that records and answers. Seed the registry before Settings() or
// MakeWindow() is first called.
class MainWindowTest : public ::testing::Test {
protected:
    TSettings& Settings() {
        if (!settings_) settings_ = std::make_unique<TSettings>(registry);
        return *settings_;
    }

    std::unique_ptr<TfMain> MakeWindow() { return std::make_unique<TfMain>(Settings(), messages); }

    RegistryKey ProgramKey() {
        auto key = registry.OpenKey(Hive::CurrentUser, kProgramKey, true);
        EXPECT_TRUE(key.has_value());
        return *key;
    }

    template <typename T>
    static T* Find(const QObject& root, const char* name) {
        T* child = root.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    // The entries of a menu or toolbar by objectName, "|" for a separator;
    // a toolbar's own buttons by their widget's objectName.
    static QStringList Entries(const QWidget& container) {
        QStringList entries;
        const auto* bar = qobject_cast<const QToolBar*>(&container);
        for (QAction* action : container.actions()) {
            if (action->isSeparator())
                entries << QStringLiteral("|");
            else if (QWidget* widget = bar ? bar->widgetForAction(action) : nullptr;
                     widget && widget->objectName().startsWith(QLatin1String("tbb")))
                entries << widget->objectName();
            else
                entries << action->objectName();
        }
        return entries;
    }

    TempDir dir;
    ScopedEnv registryDir{"VELLUMKIT_REGISTRY_DIR", dir.path().string()};
    Registry registry{dir.path()};
    RecordingMessageService messages;

private:
    std::unique_ptr<TSettings> settings_;
};

}  // namespace vk::test
