#pragma once

#include <QPointer>
#include <QWidget>

#include "common/messages.h"

namespace vk {

// The message service of the running program: real Qt dialogs. Texts arrive
// as Windows-1252 bytes; a CR (or CR LF) in a text starts a new line.
class QtMessageService final : public MessageService {
public:
    // Boxes are shown over `parent`, or over the active window when none is
    // given or it has gone.
    explicit QtMessageService(QWidget* parent = nullptr);

    MessageAnswer Show(std::string_view text, MessageIcon icon, MessageButtons buttons,
                       std::string_view title = kMessageTitle) override;
    bool Input(std::string_view title, std::string_view prompt, std::string& value) override;
    // Boxes shown while an area is set are moved off it once they appear.
    void KeepClear(std::optional<ScreenArea> area) override { keepClear_ = area; }

    void SetParent(QWidget* parent) { parent_ = parent; }

private:
    QWidget* Parent() const;

    QPointer<QWidget> parent_;
    std::optional<ScreenArea> keepClear_;
};

}  // namespace vk
