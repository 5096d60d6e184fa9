#include "history/ui/recovery_writer.h"

#include <algorithm>
#include <ctime>

#include "editor/script_editor.h"
#include "history/recovery_folder.h"

namespace vk {

TRecoveryWriter::TRecoveryWriter(ScriptEditor& editor, std::filesystem::path folder,
                                 std::chrono::seconds interval, Warn warn, QObject* parent)
    : QObject(parent), editor_(editor), folder_(std::move(folder)), warn_(std::move(warn)) {
    setObjectName(QStringLiteral("RecoveryWriter"));
    // A stored interval may be anything; a timer takes up to some 24 days.
    periodic_.setInterval(
        std::clamp(interval, std::chrono::seconds(1), std::chrono::seconds(86400)));
    connect(&periodic_, &QTimer::timeout, this, [this] { Tick(); });
    periodic_.start();
    idle_.setSingleShot(true);
    idle_.setInterval(kIdleAfterTyping);
    connect(&idle_, &QTimer::timeout, this, [this] { Tick(); });
    connect(&editor_, &ScriptEditor::scriptChanged, this, [this] { Changed(); });
}

// A normal end: the session's destructor removes the file.
TRecoveryWriter::~TRecoveryWriter() = default;

void TRecoveryWriter::Follow(std::optional<FormLocation> form, std::string base) {
    Forget();
    form_ = std::move(form);
    base_ = std::move(base);
}

void TRecoveryWriter::SetBase(std::string base) {
    base_ = std::move(base);
    dirty_ = true;
}

std::filesystem::path TRecoveryWriter::File() const {
    return session_ ? session_->File() : std::filesystem::path();
}

void TRecoveryWriter::Changed() {
    dirty_ = true;
    idle_.start();
}

void TRecoveryWriter::Tick() {
    if (dirty_) (void)WriteNow();
}

bool TRecoveryWriter::WriteNow() {
    idle_.stop();
    dirty_ = false;
    if (!form_ || !editor_.isEnabled() || !editor_.IsModified()) {
        Forget();
        return true;
    }
    try {
        if (!session_) session_ = std::make_unique<RecoverySession>(folder_);
        session_->Write({*form_, static_cast<std::int64_t>(std::time(nullptr)), base_,
                         editor_.CanonicalText()});
        warned_ = false;
    } catch (const std::exception& e) {
        // Said once until a write works again, not every few seconds; the
        // changes are tried again with the next edit or tick.
        dirty_ = true;
        if (!warned_ && warn_)
            warn_(std::string("Unsaved changes cannot be kept for recovery: ") + e.what());
        warned_ = true;
        return false;
    }
    emit written();
    return true;
}

void TRecoveryWriter::Forget() {
    idle_.stop();
    dirty_ = false;
    if (session_) session_->Remove();
}

}  // namespace vk
