#pragma once

#include <QObject>
#include <string>
#include <string_view>

namespace vk {

class ScriptEditor;
class TSettings;

// The leading blanks and tabs of a line, as Enter copies them onto the next:
// "\t  If x Then" gives "\t  ".
[[nodiscard]] std::string LeadingBlanks(std::string_view line);

// "Keep indentation on Enter" (off by default, so Enter inserts a plain line
// break): while the setting is on, a line break typed in the editor is
// followed by the leading blanks and tabs of the line it ended. A line break
// the line check holds back is no line break, and copies nothing.
class TKeepIndentation : public QObject {
    Q_OBJECT
public:
    TKeepIndentation(ScriptEditor& editor, const TSettings& settings);

private:
    void OnCharAdded(int character);

    ScriptEditor& editor_;
    const TSettings& settings_;
};

}  // namespace vk
