#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace vk {

// The program's own window for a help topic, for a desktop without an HTML
// viewer: a read-only rich-text browser with back and forward. Links between
// topics open in it.
class TfTopicViewer : public QWidget {
    Q_OBJECT
public:
    explicit TfTopicViewer(QWidget* parent = nullptr);

    void ShowTopic(const QString& path);

    QTextBrowser* tbTopic() const { return tbTopic_; }
    QToolButton* sbBack() const { return sbBack_; }
    QToolButton* sbForward() const { return sbForward_; }

private:
    QTextBrowser* tbTopic_ = nullptr;
    QToolButton* sbBack_ = nullptr;
    QToolButton* sbForward_ = nullptr;
};

// Whether the desktop names a default viewer for HTML files (asked once, by
// "xdg-mime query default text/html"; always so on Windows and macOS).
[[nodiscard]] bool DesktopHasHtmlViewer();

// Opens a topic file: in the desktop's HTML viewer when there is one,
// otherwise in the program's viewer window (one per owner, reused). A failure
// is not reported.
void OpenHelpTopic(const QString& path, QWidget& owner);

}  // namespace vk
