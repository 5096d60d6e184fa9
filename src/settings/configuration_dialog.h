#pragma once

#include <QDialog>
#include <QIcon>
#include <array>
#include <string>
#include <vector>

#include "highlight/color_stream.h"
#include "settings/config_numbers.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSpinBox;
class QTabWidget;

namespace vk {

class MessageService;
class ScriptEditor;
class TColorGrid;
class THelpFileList;
class TSettings;

// The configuration dialog `fConfiguration`: every setting, the colour and
// style of each token class with a coloured preview, and the order of the
// help systems. Only OK stores anything: it copies the controls into the
// settings, saves them and the nine class colours, and hands the colours to
// the colour stream. Cancel leaves the settings, the registry and the colour
// stream as they were, also after colours were tried out in the preview.
class TfConfiguration : public QDialog {
    Q_OBJECT
public:
    // The pages, in their order.
    enum class Page { Layout, Color, Assistant, CodeBrowser, SyntaxHelp, Advanced };

    TfConfiguration(TSettings& settings, TColorStream& colors, std::vector<QIcon> images,
                    MessageService& messages, QWidget* parent = nullptr);
    ~TfConfiguration() override;

    // Turns to a page; the dialog opens on whichever page is current.
    void ShowPage(Page page);
    [[nodiscard]] Page CurrentPage() const;

    // Loads every control from the settings and the colour stream, then
    // shows the dialog modally. True when it closed with OK.
    bool ShowModal();
    // Loads every control (what ShowModal does first).
    void LoadControls();

    // The sample script of the preview.
    [[nodiscard]] static std::string_view SampleScript();

    void accept() override;

private:
    void BuildPages();
    QWidget* BuildLayoutPage();
    QWidget* BuildColorPage();
    QWidget* BuildAssistantPage();
    QWidget* BuildCodeBrowserPage();
    QWidget* BuildSyntaxHelpPage();
    QWidget* BuildAdvancedPage();
    void ConnectControls();

    void RefreshPreview();
    void ShowEditFont();
    // "Change": the font dialog, showing fixed-pitch fonts only while
    // xbFixedPitch is ticked (as it is each time the dialog opens). The face
    // and size go to every class font.
    void ChooseFont();
    // "More...": the colour dialog for a colour beside the sixteen of the
    // grid, for the selected class.
    void ChooseMoreColor();
    void SelectTokenClass(int row);
    void SetClassColor(std::uint32_t color);
    void SetClassStyleBit(std::uint8_t bit, bool on);
    void ShowIcon(int which, int image);
    void UpdateHelpButtons();
    void AskCustomIcons();

    // Reads the number fields; on a bad one shows its message, turns to its
    // page and focuses it, and returns false.
    bool ReadNumbers(std::array<std::int32_t, 4>& numbers);
    void StoreControls(const std::array<std::int32_t, 4>& numbers);

    TSettings& settings_;
    TColorStream& colors_;
    std::vector<QIcon> images_;
    MessageService& messages_;

    // The class fonts being edited; the colour stream gets them on OK.
    ClassFonts fonts_{};
    // The editor font as the dialog opened with it: written on OK only when
    // the user chose another, so a store without a font stays without one.
    TFont loadedFont_;
    std::string customIcons_;
    // The icon indexes as loaded: a stored index the scroll bar cannot show
    // is kept unless the user moves that bar.
    std::array<std::int32_t, 3> loadedIcons_{};

    QTabWidget* pcConfiguration_ = nullptr;
    // Layout
    QLabel* lEditFont_ = nullptr;
    QPushButton* bChange_ = nullptr;
    QCheckBox* xbFixedPitch_ = nullptr;
    QSpinBox* seGutterWidth_ = nullptr;
    QSpinBox* seTabWidth_ = nullptr;
    QRadioButton* rbIndentTabs_ = nullptr;
    QRadioButton* rbIndentSpaces_ = nullptr;
    QCheckBox* xbLineNumbers_ = nullptr;  // beyond the classic dialog: off by default
    QCheckBox* xbKeepIndent_ = nullptr;   // likewise
    // Color
    QListWidget* lbTokens_ = nullptr;
    TColorGrid* cgEditor_ = nullptr;
    QPushButton* bMoreColors_ = nullptr;
    QCheckBox* xbBold_ = nullptr;
    QCheckBox* xbItalic_ = nullptr;
    ScriptEditor* rePreview_ = nullptr;
    // Assistant
    QCheckBox* xbValidateVBS_ = nullptr;
    QCheckBox* xbValidateAPI_ = nullptr;
    QCheckBox* xbTimeTag_ = nullptr;
    QCheckBox* xbIDTag_ = nullptr;
    QCheckBox* xbChecksumTag_ = nullptr;
    QCheckBox* xbLinkCategory_ = nullptr;
    QRadioButton* rbDouble_ = nullptr;
    QRadioButton* rbSingle_ = nullptr;
    QRadioButton* rbNone_ = nullptr;
    // Code Browser
    QRadioButton* rbJumpToName_ = nullptr;
    QRadioButton* rbJumpToLine_ = nullptr;
    QSpinBox* seJumpOffset_ = nullptr;
    QCheckBox* xbDisableCodeBrowser_ = nullptr;
    std::array<QScrollBar*, 3> iconBars_{};  // sbCode, sbNoCode, sbNoEnd
    std::array<QLabel*, 3> iconImages_{};    // imCode, imNoCode, imNoEnd
    QPushButton* sbCustomIcons_ = nullptr;
    // Syntax Help
    THelpFileList* xlbHelpFiles_ = nullptr;
    QPushButton* sbHelpfileUp_ = nullptr;
    QPushButton* sbHelpfileDown_ = nullptr;
    QCheckBox* xbDisableSyntaxHelp_ = nullptr;
    QLabel* lHelpfileStatus_ = nullptr;
    QCheckBox* xbOverrideHelpfilePath_ = nullptr;
    QLineEdit* edHelpfilePath_ = nullptr;
    // Advanced
    QLineEdit* mskMemory_ = nullptr;
    QCheckBox* xbDisplayStatus_ = nullptr;
    QCheckBox* xbNoDDECheck_ = nullptr;

    QPushButton* bbOK_ = nullptr;
    QPushButton* bbCancel_ = nullptr;
};

}  // namespace vk
