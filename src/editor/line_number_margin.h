#pragma once

#include <QObject>

namespace vk {

class ScriptEditor;
class TSettings;

// The editor's line-number margin, shown while the setting "Line numbers" is
// on (off by default). It is as wide as the largest line number needs and
// widens as the script grows past another power of ten.
class TLineNumberMargin : public QObject {
    Q_OBJECT
public:
    TLineNumberMargin(ScriptEditor& editor, const TSettings& settings);

    // Shows or hides the margin by the setting as it stands now.
    void Apply();
    [[nodiscard]] int Width() const;

private:
    void FitWidth();

    ScriptEditor& editor_;
    const TSettings& settings_;
    int digits_ = 0;
};

}  // namespace vk
