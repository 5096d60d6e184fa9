#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace vk {

// The help topic chooser: the topics that match a word, one per line, each
// carrying its topic file path. OK, or a double-click on a topic, closes it
// accepted; the chosen topic is then SelectedPath().
class TfHelpList : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 295;
    static constexpr int kClientHeight = 161;

    explicit TfHelpList(QWidget* parent = nullptr);

    // Adds a topic line; `path` is the topic file's path.
    void AddTopic(const QString& text, const QString& path);
    // The path of the selected topic; empty when none is selected.
    [[nodiscard]] QString SelectedPath() const;

    QListWidget* lbSelection() const { return lbSelection_; }
    QPushButton* bOK() const { return bOK_; }
    QPushButton* bCancel() const { return bCancel_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QListWidget* lbSelection_ = nullptr;
    QPushButton* bOK_ = nullptr;
    QPushButton* bCancel_ = nullptr;
};

}  // namespace vk
