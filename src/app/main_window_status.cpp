// Status panel 0 and the warnings panel of the main window.
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>

#include "app/main_window.h"
#include "editor/ansi_text.h"
#include "settings/settings.h"

namespace vk {

void TfMain::SetStatus(std::string_view text, int level) {
    // Another operation's message replaces a held one.
    statusHeld_ = false;
    if (!settings_.displayStatus) return;
    if (level == 0 || level >= lastStatusLevel_) {
        QLabel* panel = StatusPanel(0);
        panel->setText(text.empty() ? QStringLiteral("Ready") : FromAnsi(text));
        panel->repaint();
    }
    lastStatusLevel_ = level;
}

void TfMain::BackgroundStatusSink::SetStatus(std::string_view text, int level) {
    if (!main_.statusHeld_) {
        main_.SetStatus(text, level);
        return;
    }
    // The held message stays; the level rule goes on as if it had been shown.
    if (main_.settings_.displayStatus) main_.lastStatusLevel_ = level;
}

void TfMain::AddWarning(std::string_view text) {
    meWarnings_->appendPlainText(FromAnsi(text));
    if (WarningsHeight() >= kWarningsMinHeight) return;
    QList<int> sizes = splVer_->sizes();
    int total = 0;
    for (int size : sizes) total += size;
    sizes[0] = std::max(0, total - kWarningsMinHeight);
    sizes[1] = kWarningsMinHeight;
    splVer_->setSizes(sizes);
}

void TfMain::HideWarnings() {
    QList<int> sizes = splVer_->sizes();
    sizes[0] += sizes[1];
    sizes[1] = 0;
    splVer_->setSizes(sizes);
}

int TfMain::WarningsHeight() const { return splVer_->sizes().value(1); }

}  // namespace vk
