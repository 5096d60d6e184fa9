#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vk {

enum class MessageIcon { Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

inline constexpr std::string_view kMessageTitle = "Vellumkit";

// A rectangle of the screen, in pixels.
struct ScreenArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenArea&) const = default;
};

// Every message box, question and input box of the program goes through one
// of these. The main window shows real dialogs; tests answer and record.
class MessageService {
public:
    virtual ~MessageService() = default;

    virtual MessageAnswer Show(std::string_view text, MessageIcon icon, MessageButtons buttons,
                               std::string_view title = kMessageTitle) = 0;

    // An input box; nothing when the user cancels.
    virtual bool Input(std::string_view title, std::string_view prompt, std::string& value) = 0;

    // What the next boxes must leave in sight (the match a question is
    // about), until called again; nothing for no such area. A service that
    // shows no boxes on a screen ignores it.
    virtual void KeepClear(std::optional<ScreenArea> area) { (void)area; }

    // The error box: stop icon, OK, and the message ending in a full stop
    // (see WithErrorFullStop).
    void ShowError(std::string_view message) {
        Show(WithErrorFullStop(message), MessageIcon::Error, MessageButtons::Ok);
    }

    // A full stop is appended when the message's last character has a code
    // above that of the full stop: "Not ready" gets one, "Done." and "(5)" do not.
    static std::string WithErrorFullStop(std::string_view message) {
        std::string text(message);
        if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
        return text;
    }
};

}  // namespace vk
