#include "settings/configuration_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>

#include "common/messages.h"
#include "editor/ansi_text.h"
#include "editor/coloured_load.h"
#include "editor/script_editor.h"
#include "platform/registry.h"
#include "settings/color_grid.h"
#include "settings/help_file_list.h"
#include "settings/settings.h"

namespace vk {
namespace {

constexpr std::string_view kSampleScript =
    "$OBJECT=Form\r\n"
    "Option Explicit\r\n"
    "\r\n"
    "' Base VBscript template for Commence detail forms.\r\n"
    "Sub Form_OnSave()\r\n"
    "\tdim numVal, txtVal\r\n"
    "\r\n"
    "\tnumVal = &H8F0 + 1\r\n"
    "\ttxtVal = \"Hello world!\"\r\n"
    "\ttxtVal = txtVal & \"by Thornmere\"\r\n"
    "End Sub\r\n";

constexpr int kIconPixels = 16;

// The order ReadNumbers fills its array in.
constexpr std::array<ConfigNumber, 4> kNumbers = {ConfigNumber::MemoryBuffer,
                                                  ConfigNumber::GutterWidth, ConfigNumber::TabWidth,
                                                  ConfigNumber::JumpOffset};

int ImageCount(const std::vector<QIcon>& images) { return static_cast<int>(images.size()); }

// The selected row, -1 for none. The lists go by their selection, not their
// current row: a list that gets the keyboard focus makes its first row
// current without selecting it, and nothing should then look chosen.
int SelectedRow(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.row(selected.front());
}

}  // namespace

TfConfiguration::TfConfiguration(TSettings& settings, TColorStream& colors,
                                 std::vector<QIcon> images, MessageService& messages,
                                 QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      colors_(colors),
      images_(std::move(images)),
      messages_(messages) {
    setObjectName(QStringLiteral("fConfiguration"));
    setWindowTitle(QStringLiteral("Configuration"));
    setModal(true);
    setMinimumSize(620, 460);
    BuildPages();
    for (const std::string_view name : kTokenClassNames)
        lbTokens_->addItem(QString::fromLatin1(name.data(), static_cast<int>(name.size())));
    ConnectControls();
}

TfConfiguration::~TfConfiguration() = default;

std::string_view TfConfiguration::SampleScript() { return kSampleScript; }

void TfConfiguration::ShowPage(Page page) {
    pcConfiguration_->setCurrentIndex(static_cast<int>(page));
}

TfConfiguration::Page TfConfiguration::CurrentPage() const {
    return static_cast<Page>(pcConfiguration_->currentIndex());
}

void TfConfiguration::ConnectControls() {
    connect(lbTokens_, &QListWidget::itemSelectionChanged, this,
            [this] { SelectTokenClass(SelectedRow(*lbTokens_)); });
    connect(cgEditor_, &TColorGrid::colorClicked, this,
            [this](std::uint32_t color) { SetClassColor(color); });
    connect(bMoreColors_, &QPushButton::clicked, this, [this] { ChooseMoreColor(); });
    connect(bChange_, &QPushButton::clicked, this, [this] { ChooseFont(); });
    // clicked, not toggled: setting the boxes for a newly selected class
    // must not touch its font.
    connect(xbBold_, &QCheckBox::clicked, this, [this](bool on) { SetClassStyleBit(kBold, on); });
    connect(xbItalic_, &QCheckBox::clicked, this,
            [this](bool on) { SetClassStyleBit(kItalic, on); });
    for (std::size_t i = 0; i < iconBars_.size(); ++i)
        connect(iconBars_[i], &QScrollBar::valueChanged, this,
                [this, i](int image) { ShowIcon(static_cast<int>(i), image); });
    connect(sbCustomIcons_, &QPushButton::clicked, this, [this] { AskCustomIcons(); });
    connect(xlbHelpFiles_, &QListWidget::itemSelectionChanged, this,
            [this] { UpdateHelpButtons(); });
    connect(sbHelpfileUp_, &QPushButton::clicked, this, [this] {
        const int row = SelectedRow(*xlbHelpFiles_);
        xlbHelpFiles_->MoveEntry(row, row - 1);
    });
    connect(sbHelpfileDown_, &QPushButton::clicked, this, [this] {
        const int row = SelectedRow(*xlbHelpFiles_);
        xlbHelpFiles_->MoveEntry(row, row + 1);
    });
}

bool TfConfiguration::ShowModal() {
    LoadControls();
    return exec() == QDialog::Accepted;
}

void TfConfiguration::LoadControls() {
    const TSettings& s = settings_;
    fonts_ = colors_.Fonts();

    // Layout
    loadedFont_ = fonts_[IndexOf(TokenClass::Whitespace)];
    ShowEditFont();
    xbFixedPitch_->setChecked(true);
    seGutterWidth_->setValue(s.gutterWidth);
    seTabWidth_->setValue(s.tabWidth);
    rbIndentTabs_->setChecked(s.indentStyle == 0);
    rbIndentSpaces_->setChecked(s.indentStyle == 1);
    xbLineNumbers_->setChecked(s.lineNumbers);
    xbKeepIndent_->setChecked(s.keepIndentation);

    // Color: no class and no cell selected until the user picks a class.
    {
        const QSignalBlocker blocker(lbTokens_);
        lbTokens_->setCurrentRow(-1);
        lbTokens_->clearSelection();
    }
    cgEditor_->ClearSelection();
    xbBold_->setChecked(false);
    xbItalic_->setChecked(false);
    xbBold_->setEnabled(false);
    xbItalic_->setEnabled(false);
    bMoreColors_->setEnabled(false);

    // Assistant
    xbValidateVBS_->setChecked(s.validateObjects);
    xbValidateAPI_->setChecked(s.validateApi);
    xbTimeTag_->setChecked(s.applyTimeTag);
    xbIDTag_->setChecked(s.applyIdTag);
    xbChecksumTag_->setChecked(s.applyChecksumTag);
    xbLinkCategory_->setChecked(s.linkCategory);
    rbDouble_->setChecked(s.quoteStyle == 0);
    rbSingle_->setChecked(s.quoteStyle == 1);
    rbNone_->setChecked(s.quoteStyle == 2);

    // Code Browser
    rbJumpToLine_->setChecked(s.jumpTo == 1);
    rbJumpToName_->setChecked(s.jumpTo == 0);
    seJumpOffset_->setValue(s.jumpOffset);
    xbDisableCodeBrowser_->setChecked(s.codeBrowserDisabled);
    customIcons_ = s.customIcons;
    loadedIcons_ = {s.iconCode, s.iconNoCode, s.iconNoEnd};
    for (std::size_t i = 0; i < iconBars_.size(); ++i) {
        iconBars_[i]->setRange(0, std::max(0, ImageCount(images_) - 1));
        iconBars_[i]->setValue(loadedIcons_[i]);
        ShowIcon(static_cast<int>(i), loadedIcons_[i]);
    }

    // Syntax Help
    xlbHelpFiles_->clear();
    for (const HelpFile& file : s.helpFiles) {
        auto* item = new QListWidgetItem(FromAnsi(file.name), xlbHelpFiles_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                       Qt::ItemIsDragEnabled);
        item->setCheckState(file.enabled ? Qt::Checked : Qt::Unchecked);
    }
    xlbHelpFiles_->setCurrentRow(-1);
    UpdateHelpButtons();
    xbDisableSyntaxHelp_->setChecked(!s.syntaxHelpEnabled);

    // Advanced
    mskMemory_->setText(QString::number(s.memoryBuffer));
    xbDisplayStatus_->setChecked(s.displayStatus);
    xbNoDDECheck_->setChecked(s.noDdeCheck);

    rePreview_->SetTabWidth(std::clamp(s.tabWidth, RangeOf(ConfigNumber::TabWidth).min,
                                       RangeOf(ConfigNumber::TabWidth).max));
    RefreshPreview();
}

void TfConfiguration::RefreshPreview() {
    // The editor's own coloured load, so the preview shows exactly what a
    // script will look like.
    const TColorStream preview(fonts_);
    // A read-only control refuses even the program's own text.
    rePreview_->setReadOnly(false);
    if (!LoadColouredScript(*rePreview_, kSampleScript, preview))
        rePreview_->SetPlainText(kSampleScript);
    rePreview_->setReadOnly(true);
}

void TfConfiguration::ShowEditFont() {
    // All class fonts share the editor font's face and size.
    const TFont& editorFont = fonts_[IndexOf(TokenClass::Whitespace)];
    lEditFont_->setText(
        QStringLiteral("%1, %2p").arg(FromAnsi(editorFont.name)).arg(editorFont.size));
    lEditFont_->setFont(QFont(FromAnsi(editorFont.name), editorFont.size));
}

void TfConfiguration::ChooseFont() {
    const TFont& current = fonts_[IndexOf(TokenClass::Whitespace)];
    QFontDialog dialog(this);
    dialog.setObjectName(QStringLiteral("dlgFont"));
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    dialog.setOption(QFontDialog::MonospacedFonts, xbFixedPitch_->isChecked());
    // The font after the options: the dialog lists its families when it is
    // given a font, and only then applies the fixed-pitch filter.
    dialog.setCurrentFont(QFont(FromAnsi(current.name), current.size));
    if (dialog.exec() != QDialog::Accepted) return;
    const QFont chosen = dialog.selectedFont();
    // Sizes are whole points in the store; a font sized in pixels has none.
    const int size =
        chosen.pointSizeF() > 0 ? std::max(1, qRound(chosen.pointSizeF())) : current.size;
    const std::string face = ToAnsi(chosen.family());
    for (TFont& font : fonts_) {
        font.name = face;
        font.size = size;
    }
    ShowEditFont();
    RefreshPreview();
}

void TfConfiguration::ChooseMoreColor() {
    const int row = SelectedRow(*lbTokens_);
    if (row < 0) return;
    const std::uint32_t color = fonts_[static_cast<std::size_t>(row)].color;
    // A system colour (the window text's) starts the dialog on the text
    // colour it stands for.
    const QColor start = (color >> 24) == 0 ? QColor(static_cast<int>(color & 0xFF),
                                                     static_cast<int>((color >> 8) & 0xFF),
                                                     static_cast<int>((color >> 16) & 0xFF))
                                            : palette().color(QPalette::WindowText);
    QColorDialog dialog(start, this);
    dialog.setObjectName(QStringLiteral("dlgColor"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) return;
    const QColor chosen = dialog.selectedColor();
    const std::uint32_t value = static_cast<std::uint32_t>(chosen.red()) |
                                static_cast<std::uint32_t>(chosen.green()) << 8 |
                                static_cast<std::uint32_t>(chosen.blue()) << 16;
    // One of the sixteen shows as its cell; any other as no cell.
    cgEditor_->SelectColor(value);
    SetClassColor(value);
}

void TfConfiguration::SelectTokenClass(int row) {
    const bool selected = row >= 0 && row < static_cast<int>(fonts_.size());
    xbBold_->setEnabled(selected);
    xbItalic_->setEnabled(selected);
    bMoreColors_->setEnabled(selected);
    if (!selected) {
        cgEditor_->ClearSelection();
        return;
    }
    const TFont& font = fonts_[static_cast<std::size_t>(row)];
    cgEditor_->SelectColor(font.color);
    xbBold_->setChecked(font.Bold());
    xbItalic_->setChecked(font.Italic());
}

void TfConfiguration::SetClassColor(std::uint32_t color) {
    const int row = SelectedRow(*lbTokens_);
    if (row < 0) {
        // Without a class the grid has nothing to colour.
        cgEditor_->ClearSelection();
        return;
    }
    fonts_[static_cast<std::size_t>(row)].color = color;
    RefreshPreview();
}

void TfConfiguration::SetClassStyleBit(std::uint8_t bit, bool on) {
    const int row = SelectedRow(*lbTokens_);
    if (row < 0) return;
    std::uint8_t& style = fonts_[static_cast<std::size_t>(row)].style;
    style = on ? static_cast<std::uint8_t>(style | bit) : static_cast<std::uint8_t>(style & ~bit);
    RefreshPreview();
}

void TfConfiguration::ShowIcon(int which, int image) {
    QLabel* label = iconImages_[static_cast<std::size_t>(which)];
    if (image >= 0 && image < ImageCount(images_))
        label->setPixmap(images_[static_cast<std::size_t>(image)].pixmap(kIconPixels, kIconPixels));
    else
        label->clear();
}

void TfConfiguration::UpdateHelpButtons() {
    const int row = SelectedRow(*xlbHelpFiles_);
    sbHelpfileUp_->setEnabled(row > 0);
    sbHelpfileDown_->setEnabled(row >= 0 && row < xlbHelpFiles_->count() - 1);
}

void TfConfiguration::AskCustomIcons() {
    std::string answer = customIcons_;
    if (messages_.Input("Custom icons...", "Custom icons:", answer)) customIcons_ = answer;
}

bool TfConfiguration::ReadNumbers(std::array<std::int32_t, 4>& numbers) {
    struct Field {
        Page page;
        QWidget* editor;
        QString text;
    };
    const std::array<Field, 4> fields = {{
        {Page::Advanced, mskMemory_, mskMemory_->text()},
        {Page::Layout, seGutterWidth_, seGutterWidth_->cleanText()},
        {Page::Layout, seTabWidth_, seTabWidth_->cleanText()},
        {Page::CodeBrowser, seJumpOffset_, seJumpOffset_->cleanText()},
    }};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto read = ReadConfigNumber(kNumbers[i], fields[i].text.toStdString());
        if (const auto* number = std::get_if<std::int32_t>(&read)) {
            numbers[i] = *number;
            continue;
        }
        ShowPage(fields[i].page);
        fields[i].editor->setFocus();
        messages_.Show(std::get<std::string>(read), MessageIcon::Warning, MessageButtons::Ok);
        return false;
    }
    return true;
}

void TfConfiguration::StoreControls(const std::array<std::int32_t, 4>& numbers) {
    TSettings& s = settings_;
    s.applyTimeTag = xbTimeTag_->isChecked();
    s.applyIdTag = xbIDTag_->isChecked();
    s.applyChecksumTag = xbChecksumTag_->isChecked();
    s.validateObjects = xbValidateVBS_->isChecked();
    s.validateApi = xbValidateAPI_->isChecked();
    s.memoryBuffer = numbers[0];
    s.displayStatus = xbDisplayStatus_->isChecked();
    s.codeBrowserDisabled = xbDisableCodeBrowser_->isChecked();
    s.jumpTo = rbJumpToLine_->isChecked() ? 1 : 0;
    s.jumpOffset = numbers[3];
    s.customIcons = customIcons_;
    std::int32_t* icons[] = {&s.iconCode, &s.iconNoCode, &s.iconNoEnd};
    for (std::size_t i = 0; i < iconBars_.size(); ++i) {
        // A stored index beyond the image list shows as the bar's end; it is
        // kept unless the user moved the bar elsewhere.
        const int shown =
            std::clamp(loadedIcons_[i], iconBars_[i]->minimum(), iconBars_[i]->maximum());
        *icons[i] = iconBars_[i]->value() == shown ? loadedIcons_[i] : iconBars_[i]->value();
    }
    s.gutterWidth = numbers[1];
    s.tabWidth = numbers[2];
    s.indentStyle = rbIndentTabs_->isChecked() ? 0 : 1;
    s.lineNumbers = xbLineNumbers_->isChecked();
    s.keepIndentation = xbKeepIndent_->isChecked();
    s.noDdeCheck = xbNoDDECheck_->isChecked();
    s.linkCategory = xbLinkCategory_->isChecked();
    s.quoteStyle = rbDouble_->isChecked() ? 0 : rbSingle_->isChecked() ? 1 : 2;
    s.syntaxHelpEnabled = !xbDisableSyntaxHelp_->isChecked();

    s.helpFiles.clear();
    for (int row = 0; row < xlbHelpFiles_->count(); ++row) {
        const QListWidgetItem* item = xlbHelpFiles_->item(row);
        s.helpFiles.push_back(HelpFile{ToAnsi(item->text()), item->checkState() == Qt::Checked});
    }
}

void TfConfiguration::accept() {
    std::array<std::int32_t, 4> numbers{};
    // A bad number keeps the dialog open with nothing stored.
    if (!ReadNumbers(numbers)) return;
    StoreControls(numbers);
    {
        // The settings and the nine colours in one write of the registry file.
        RegistryBatch batch = settings_.registry().BeginBatch(Hive::CurrentUser);
        settings_.Save();
        for (std::size_t i = 0; i < fonts_.size(); ++i)
            SaveTokenStyle(settings_.registry(), kTokenClassNames[i], fonts_[i]);
        const TFont& editorFont = fonts_[IndexOf(TokenClass::Whitespace)];
        if (editorFont.name != loadedFont_.name || editorFont.size != loadedFont_.size)
            SaveEditorFont(settings_.registry(), editorFont);
    }
    colors_.SetFonts(fonts_);
    QDialog::accept();
}

}  // namespace vk
