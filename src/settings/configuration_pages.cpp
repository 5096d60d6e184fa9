// The pages of the configuration dialog and their controls. Each control's
// objectName is its member name without the trailing underscore, so that
// tests and the dialog's own code find the same widget.
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editor/script_editor.h"
#include "settings/color_grid.h"
#include "settings/configuration_dialog.h"
#include "settings/help_file_list.h"

namespace vk {
namespace {

template <typename W, typename... Args>
W* Named(const char* name, Args&&... args) {
    W* widget = new W(std::forward<Args>(args)...);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The spin edits take any number; the dialog checks the range on OK and says
// what it takes, instead of the box quietly changing a stored value.
QSpinBox* NumberSpin(const char* name) {
    auto* spin = Named<QSpinBox>(name);
    spin->setRange(-999999, 999999);
    return spin;
}

// "Left gutter =" [spin] "pixels": a spin edit inside its caption.
QHBoxLayout* Inside(QLabel* before, QWidget* field, const QString& after) {
    auto* row = new QHBoxLayout;
    before->setBuddy(field);
    row->addWidget(before);
    row->addWidget(field);
    row->addWidget(new QLabel(after));
    row->addStretch();
    return row;
}

QGroupBox* Group(const QString& title, std::initializer_list<QWidget*> widgets) {
    auto* box = new QGroupBox(title);
    auto* column = new QVBoxLayout(box);
    for (QWidget* widget : widgets) column->addWidget(widget);
    return box;
}

}  // namespace

void TfConfiguration::BuildPages() {
    pcConfiguration_ = Named<QTabWidget>("pcConfiguration");
    pcConfiguration_->addTab(BuildLayoutPage(), QStringLiteral("Layout"));
    pcConfiguration_->addTab(BuildColorPage(), QStringLiteral("Color"));
    pcConfiguration_->addTab(BuildAssistantPage(), QStringLiteral("Assistant"));
    pcConfiguration_->addTab(BuildCodeBrowserPage(), QStringLiteral("Code Browser"));
    pcConfiguration_->addTab(BuildSyntaxHelpPage(), QStringLiteral("Syntax Help"));
    pcConfiguration_->addTab(BuildAdvancedPage(), QStringLiteral("Advanced"));

    bbOK_ = Named<QPushButton>("bbOK", QStringLiteral("OK"));
    bbCancel_ = Named<QPushButton>("bbCancel", QStringLiteral("Cancel"));
    bbOK_->setDefault(true);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(bbOK_, QDialogButtonBox::AcceptRole);
    buttons->addButton(bbCancel_, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfConfiguration::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfConfiguration::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pcConfiguration_);
    layout->addWidget(buttons);
}

QWidget* TfConfiguration::BuildLayoutPage() {
    auto* page = Named<QWidget>("tsLayout");
    lEditFont_ = Named<QLabel>("lEditFont");
    lEditFont_->setFrameShape(QFrame::StyledPanel);
    lEditFont_->setMinimumWidth(180);
    bChange_ = Named<QPushButton>("bChange", QStringLiteral("Change"));
    xbFixedPitch_ = Named<QCheckBox>("xbFixedPitch", QStringLiteral("&Fixed-pitch fonts only"));
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(lEditFont_);
    fontRow->addWidget(bChange_);
    fontRow->addStretch();
    auto* fontBox = new QGroupBox(QStringLiteral("Font"));
    auto* fontColumn = new QVBoxLayout(fontBox);
    fontColumn->addLayout(fontRow);
    fontColumn->addWidget(xbFixedPitch_);

    seGutterWidth_ = NumberSpin("seGutterWidth");
    seTabWidth_ = NumberSpin("seTabWidth");
    auto* tabsBox = new QGroupBox(QStringLiteral("Tabs"));
    auto* tabs = new QVBoxLayout(tabsBox);
    tabs->addLayout(Inside(Named<QLabel>("lGutterWidth", QStringLiteral("Left gutter =")),
                           seGutterWidth_, QStringLiteral("pixels")));
    tabs->addLayout(Inside(Named<QLabel>("lTabWidth", QStringLiteral("Tabwidth =")), seTabWidth_,
                           QStringLiteral("characters")));

    rbIndentTabs_ = Named<QRadioButton>("rbIndentTabs", QStringLiteral("Tabs"));
    rbIndentSpaces_ = Named<QRadioButton>("rbIndentSpaces", QStringLiteral("Spaces"));

    xbLineNumbers_ = Named<QCheckBox>("xbLineNumbers", QStringLiteral("Show line &numbers"));
    xbLineNumbers_->setToolTip(QStringLiteral("A margin with the line numbers left of the script"));
    xbKeepIndent_ = Named<QCheckBox>("xbKeepIndent", QStringLiteral("&Keep indentation on Enter"));
    xbKeepIndent_->setToolTip(QStringLiteral(
        "Enter starts the new line with the blanks and tabs the line above begins with"));

    auto* column = new QVBoxLayout(page);
    column->addWidget(fontBox);
    column->addWidget(tabsBox);
    column->addWidget(
        Group(QStringLiteral("Block indent using"), {rbIndentTabs_, rbIndentSpaces_}));
    column->addWidget(xbLineNumbers_);
    column->addWidget(xbKeepIndent_);
    column->addStretch();
    return page;
}

QWidget* TfConfiguration::BuildColorPage() {
    auto* page = Named<QWidget>("tsColor");
    lbTokens_ = Named<QListWidget>("lbTokens");
    lbTokens_->setMaximumWidth(130);
    cgEditor_ = new TColorGrid;
    bMoreColors_ = Named<QPushButton>("bMoreColors", QStringLiteral("&More\u2026"));
    bMoreColors_->setToolTip(QStringLiteral("Any other colour for the selected class"));
    xbBold_ = Named<QCheckBox>("xbBold", QStringLiteral("&Bold"));
    xbItalic_ = Named<QCheckBox>("xbItalic", QStringLiteral("&Italic"));
    rePreview_ = new ScriptEditor;
    rePreview_->setObjectName(QStringLiteral("rePreview"));
    rePreview_->setReadOnly(true);

    auto* styles = new QVBoxLayout;
    styles->addWidget(cgEditor_);
    styles->addWidget(bMoreColors_);
    styles->addWidget(xbBold_);
    styles->addWidget(xbItalic_);
    styles->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(lbTokens_);
    top->addLayout(styles);
    auto* previewBox = new QGroupBox(QStringLiteral("Preview"));
    auto* preview = new QVBoxLayout(previewBox);
    preview->addWidget(rePreview_);
    top->addWidget(previewBox, 1);

    auto* column = new QVBoxLayout(page);
    column->addLayout(top);
    return page;
}

QWidget* TfConfiguration::BuildAssistantPage() {
    auto* page = Named<QWidget>("tsAssistant");
    xbValidateVBS_ =
        Named<QCheckBox>("xbValidateVBS", QStringLiteral("Validate &objects && methods"));
    xbValidateAPI_ = Named<QCheckBox>("xbValidateAPI", QStringLiteral("Validate database &API"));
    xbValidateAPI_->setEnabled(false);
    xbTimeTag_ = Named<QCheckBox>("xbTimeTag", QStringLiteral("Apply &Date/Time Tag"));
    xbIDTag_ = Named<QCheckBox>("xbIDTag", QStringLiteral("Apply &ID Tag"));
    xbChecksumTag_ = Named<QCheckBox>("xbChecksumTag", QStringLiteral("Apply &Checksum"));
    xbLinkCategory_ =
        Named<QCheckBox>("xbLinkCategory", QStringLiteral("&Link with script category"));
    rbDouble_ = Named<QRadioButton>("rbDouble", QStringLiteral("Visual &Basic (double)"));
    rbSingle_ = Named<QRadioButton>("rbSingle", QStringLiteral("Del&phi (single)"));
    rbNone_ = Named<QRadioButton>("rbNone", QStringLiteral("&None"));

    auto* column = new QVBoxLayout(page);
    column->addWidget(Group(QStringLiteral("Validation"), {xbValidateVBS_, xbValidateAPI_}));
    column->addWidget(Group(QStringLiteral("Tags"), {xbTimeTag_, xbIDTag_, xbChecksumTag_}));
    auto* filters = Group(QStringLiteral("Filter Builder"), {xbLinkCategory_});
    filters->layout()->addWidget(
        Group(QStringLiteral("Quote Style"), {rbDouble_, rbSingle_, rbNone_}));
    column->addWidget(filters);
    column->addStretch();
    return page;
}

QWidget* TfConfiguration::BuildCodeBrowserPage() {
    auto* page = Named<QWidget>("tsCodeBrowser");
    rbJumpToName_ = Named<QRadioButton>("rbJumpToName", QStringLiteral("&Name"));
    rbJumpToName_->setToolTip(QStringLiteral(
        "The cursor is positioned at the beginning of the name of the event/sub/function"));
    rbJumpToLine_ = Named<QRadioButton>("rbJumpToLine", QStringLiteral("&Line"));
    rbJumpToLine_->setToolTip(
        QStringLiteral("The cursor is positioned at the beginning of the line where the "
                       "event/sub/function is declared"));
    seJumpOffset_ = NumberSpin("seJumpOffset");
    auto* lJumpOffset = Named<QLabel>("lJumpOffset", QStringLiteral("Jump &offset:"));
    lJumpOffset->setToolTip(QStringLiteral(
        "The number of lines that will still be visible above the line you jump to"));
    xbDisableCodeBrowser_ =
        Named<QCheckBox>("xbDisableCodeBrowser", QStringLiteral("Disable the Code Browser"));
    xbDisableCodeBrowser_->setToolTip(
        QStringLiteral("Disable the code analyser and hide the code browser"));

    auto* jump = Group(QStringLiteral("Jump to beginning of"), {rbJumpToName_, rbJumpToLine_});
    static_cast<QVBoxLayout*>(jump->layout())
        ->addLayout(Inside(lJumpOffset, seJumpOffset_, QStringLiteral("lines")));

    struct IconRow {
        const char* bar;
        const char* image;
        const char* caption;
        const char* hint;
    };
    constexpr IconRow kIconRows[] = {
        {"sbCode", "imCode", "Valid block with code", "Valid block"},
        {"sbNoCode", "imNoCode", "Valid, empty block", "Empty block"},
        {"sbNoEnd", "imNoEnd", "Unterminated block", "Unterminated block"},
    };
    auto* icons = new QGroupBox(QStringLiteral("Icons"));
    auto* iconColumn = new QVBoxLayout(icons);
    for (std::size_t i = 0; i < iconBars_.size(); ++i) {
        const IconRow& row = kIconRows[i];
        iconBars_[i] = Named<QScrollBar>(row.bar, Qt::Vertical);
        // The bars are moved by the mouse only; the keyboard focus passes on
        // to the next control instead of resting on a bar.
        iconBars_[i]->setFocusPolicy(Qt::NoFocus);
        iconBars_[i]->setFixedSize(16, 24);
        iconImages_[i] = Named<QLabel>(row.image);
        iconImages_[i]->setFixedSize(20, 20);
        iconImages_[i]->setToolTip(QString::fromLatin1(row.hint));
        auto* line = new QHBoxLayout;
        line->addWidget(iconBars_[i]);
        line->addWidget(iconImages_[i]);
        line->addWidget(new QLabel(QString::fromLatin1(row.caption)));
        line->addStretch();
        iconColumn->addLayout(line);
    }
    sbCustomIcons_ = Named<QPushButton>("sbCustomIcons", QStringLiteral("Custom Icons..."));
    sbCustomIcons_->setEnabled(false);
    iconColumn->addWidget(sbCustomIcons_, 0, Qt::AlignLeft);

    auto* column = new QVBoxLayout(page);
    column->addWidget(jump);
    column->addWidget(xbDisableCodeBrowser_);
    column->addWidget(icons);
    column->addStretch();
    return page;
}

QWidget* TfConfiguration::BuildSyntaxHelpPage() {
    auto* page = Named<QWidget>("tsSyntaxHelp");
    xlbHelpFiles_ = new THelpFileList;
    sbHelpfileUp_ = Named<QPushButton>("sbHelpfileUp", QStringLiteral("Up"));
    sbHelpfileDown_ = Named<QPushButton>("sbHelpfileDown", QStringLiteral("Down"));
    xbDisableSyntaxHelp_ =
        Named<QCheckBox>("xbDisableSyntaxHelp", QStringLiteral("Disable syntax help"));
    // Shown only: the help systems are found by their priority above.
    lHelpfileStatus_ = Named<QLabel>("lHelpfileStatus", QStringLiteral("(no help file selected)"));
    xbOverrideHelpfilePath_ =
        Named<QCheckBox>("xbOverrideHelpfilePath", QStringLiteral("Manually select Help File"));
    edHelpfilePath_ = Named<QLineEdit>("edHelpfilePath");

    auto* priority = new QGroupBox(QStringLiteral("Help Files Priority"));
    auto* listRow = new QHBoxLayout(priority);
    listRow->addWidget(xlbHelpFiles_);
    auto* moves = new QVBoxLayout;
    moves->addWidget(sbHelpfileUp_);
    moves->addWidget(sbHelpfileDown_);
    moves->addStretch();
    listRow->addLayout(moves);

    auto* column = new QVBoxLayout(page);
    column->addWidget(priority);
    column->addWidget(xbDisableSyntaxHelp_);
    column->addWidget(lHelpfileStatus_);
    column->addWidget(xbOverrideHelpfilePath_);
    column->addWidget(edHelpfilePath_);
    column->addStretch();
    return page;
}

QWidget* TfConfiguration::BuildAdvancedPage() {
    auto* page = Named<QWidget>("tsAdvanced");
    mskMemory_ = Named<QLineEdit>("mskMemory");
    // Up to four digits (blanks allowed around them); the range is checked on OK.
    mskMemory_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral(" *[0-9]{0,4} *")), mskMemory_));
    mskMemory_->setMaxLength(6);
    mskMemory_->setMaximumWidth(60);
    xbDisplayStatus_ = Named<QCheckBox>("xbDisplayStatus", QStringLiteral("Display &messages"));
    xbNoDDECheck_ =
        Named<QCheckBox>("xbNoDDECheck", QStringLiteral("Do not check for open databases"));
    xbNoDDECheck_->setToolTip(QStringLiteral("Turning this on speeds up the menu display"));

    auto* memory = new QGroupBox(QStringLiteral("Memory buffer"));
    auto* memoryColumn = new QVBoxLayout(memory);
    memoryColumn->addLayout(Inside(Named<QLabel>("lMemory", QStringLiteral("Buffer size:")),
                                   mskMemory_, QStringLiteral("Kb")));
    auto* note = Named<QLabel>(
        "lMemoryNote",
        QStringLiteral("Increase this buffer when the editor doesn't accept any more characters."));
    note->setWordWrap(true);
    memoryColumn->addWidget(note);

    auto* column = new QVBoxLayout(page);
    column->addWidget(memory);
    column->addWidget(xbDisplayStatus_);
    column->addWidget(xbNoDDECheck_);
    column->addStretch();
    return page;
}

}  // namespace vk
