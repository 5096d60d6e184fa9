#include "settings/configuration_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDragEnterEvent>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <functional>
#include <map>

#include "app/main_window_fixture.h"
#include "editor/coloured_load.h"
#include "editor/script_editor.h"
#include "highlight/color_stream.h"
#include "highlight/color_table.h"
#include "settings/color_grid.h"

namespace vk {
namespace {

using Page = TfConfiguration::Page;

// Runs `act` on the first modal dialog of type T once it is open (a dialog
// that a click opens runs its own event loop).
template <typename T>
void WhenModal(std::function<void(T&)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act = std::move(act)] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        act(*dialog);
    });
    poll->start(0);
}

// The families a font dialog lists: the entries of its list that holds font
// families.
QStringList FamiliesListed(const QFontDialog& dialog) {
    for (const QListView* list : dialog.findChildren<QListView*>()) {
        QStringList entries;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            entries << list->model()->index(row, 0).data().toString();
        if (entries.contains(QStringLiteral("DejaVu Sans Mono"))) return entries;
    }
    return {};
}

// Every registry file of the test's folder with its bytes.
std::map<std::string, std::string> RegistryFiles(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().string()] = test::ReadFileBytes(entry.path());
    return files;
}

class ConfigurationTest : public test::MainWindowTest {
protected:
    void SetUp() override { window = MakeWindow(); }

    TfConfiguration& Dialog() { return *Find<TfConfiguration>(*window, "fConfiguration"); }

    template <typename T>
    T* Control(const char* name) {
        return Find<T>(Dialog(), name);
    }

    // Runs `act` on the dialog while `trigger` has it open modally; `act`
    // ends by pressing OK or Cancel (the dialog is cancelled if still open).
    void WhileOpen(QAction* trigger, const std::function<void(TfConfiguration&)>& act) {
        bool ran = false;
        QTimer::singleShot(0, window.get(), [&] {
            ran = true;
            act(Dialog());
            if (Dialog().isVisible()) Dialog().reject();
        });
        trigger->trigger();
        EXPECT_TRUE(ran);
    }

    // The dialog shown without a modal loop, for looking at its controls.
    TfConfiguration& Opened(Page page) {
        Dialog().LoadControls();
        Dialog().ShowPage(page);
        Dialog().show();
        return Dialog();
    }

    void ClickColor(std::uint32_t color) {
        auto* grid = Control<TColorGrid>("cgEditor");
        const auto cell = std::find(kColorGridCells.begin(), kColorGridCells.end(), color);
        QTest::mouseClick(
            grid, Qt::LeftButton, {},
            grid->CellRect(static_cast<int>(cell - kColorGridCells.begin())).center());
    }

    QStringList HelpEntries() {
        QStringList entries;
        auto* list = Control<QListWidget>("xlbHelpFiles");
        for (int row = 0; row < list->count(); ++row)
            entries << (list->item(row)->checkState() == Qt::Checked ? "+" : "-") +
                           list->item(row)->text();
        return entries;
    }

    std::unique_ptr<TfMain> window;
};

TEST_F(ConfigurationTest, EachConfigureCommandOpensItsPage) {
    const struct {
        const char* name;
        QAction* command;
        Page page;
    } rows[] = {
        {"Editor", window->MenuItems().miConfigEditor, Page::Layout},
        {"Filter Builder", window->MenuItems().miConfigFilterBuilder, Page::Assistant},
        {"Code Browser", window->MenuItems().miConfigCodeBrowser, Page::CodeBrowser},
        // "Configure" keeps the page the dialog was last on.
        {"Configure", window->Actions().acShowConfiguration, Page::CodeBrowser},
    };
    for (const auto& row : rows) {
        std::optional<Page> shown;
        WhileOpen(row.command, [&](TfConfiguration& dialog) {
            EXPECT_TRUE(dialog.isModal());
            EXPECT_EQ(dialog.windowTitle(), "Configuration");
            shown = dialog.CurrentPage();
        });
        EXPECT_EQ(shown, row.page) << row.name;
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ConfigurationTest, OkWithoutChangesShowsTheStoredValuesAndKeepsTheRegistryFilesAsTheyWere) {
    // With syntax help switched off too: its help order and marks must come
    // back from the registry as they went in.
    for (const bool helpOn : {true, false}) {
        SCOPED_TRACE(helpOn ? "syntax help on" : "syntax help off");
        TSettings& s = Settings();
        s.applyTimeTag = s.validateObjects = s.noDdeCheck = true;
        s.memoryBuffer = 256;
        s.tabWidth = 7;
        s.indentStyle = 1;
        s.jumpTo = 1;
        s.jumpOffset = 2;
        s.iconNoEnd = 40;  // beyond the image list: kept as stored
        s.quoteStyle = 1;
        s.syntaxHelpEnabled = helpOn;
        s.helpFiles = {{"VBScript 3.1", true},
                       {"Custom HTMLHelp file", false},
                       {"Microsoft Windows Script 5.6 Documentation", true},
                       {"Microsoft Windows Script 5.0 Documentation", false},
                       {"Microsoft Windows Script 5.5 Documentation", false}};
        s.Save();
        for (std::size_t i = 0; i < kTokenClassCount; ++i) {
            TFont font;
            font.color = i == IndexOf(TokenClass::Keyword) ? 0x800000 : kWindowTextColor;
            font.style = i == IndexOf(TokenClass::Keyword) ? kBold : 0;
            SaveTokenStyle(registry, kTokenClassNames[i], font);
        }
        registry.Reload();
        s.Load();
        window = MakeWindow();
        const auto before = RegistryFiles(dir.path());

        WhileOpen(window->Actions().acShowConfiguration, [&](TfConfiguration&) {
            EXPECT_EQ(Control<QSpinBox>("seTabWidth")->value(), 7);
            EXPECT_EQ(Control<QLineEdit>("mskMemory")->text(), "256");
            EXPECT_TRUE(Control<QRadioButton>("rbIndentSpaces")->isChecked());
            EXPECT_TRUE(Control<QRadioButton>("rbJumpToLine")->isChecked());
            EXPECT_TRUE(Control<QRadioButton>("rbSingle")->isChecked());
            EXPECT_TRUE(Control<QCheckBox>("xbValidateVBS")->isChecked());
            EXPECT_FALSE(Control<QCheckBox>("xbIDTag")->isChecked());
            EXPECT_EQ(Control<QCheckBox>("xbDisableSyntaxHelp")->isChecked(), !helpOn);
            EXPECT_EQ(Control<QLabel>("lEditFont")->text(), "Courier New, 10p");
            EXPECT_EQ(HelpEntries(), QStringList({"+VBScript 3.1", "-Custom HTMLHelp file",
                                                  "+Microsoft Windows Script 5.6 Documentation",
                                                  "-Microsoft Windows Script 5.0 Documentation",
                                                  "-Microsoft Windows Script 5.5 Documentation"}));
            QTest::mouseClick(Control<QPushButton>("bbOK"), Qt::LeftButton);
        });

        EXPECT_EQ(RegistryFiles(dir.path()), before);
        EXPECT_TRUE(messages.messages.empty());
    }
}

TEST_F(ConfigurationTest, OkStoresTheChangesAndTheWindowAppliesThemAtOnce) {
    ScriptEditor& editor = *window->reScript();
    editor.setEnabled(true);
    editor.SetPlainText("Sub Form_OnLoad()\r\nEnd Sub\r\n");
    editor.SetSel(4, 4);
    editor.SetModified(true);

    WhileOpen(window->MenuItems().miConfigEditor, [&](TfConfiguration& dialog) {
        Control<QSpinBox>("seTabWidth")->setValue(5);
        Control<QCheckBox>("xbLineNumbers")->setChecked(true);
        Control<QLineEdit>("mskMemory")->setText("64");
        Control<QCheckBox>("xbDisableCodeBrowser")->setChecked(true);
        Control<QRadioButton>("rbNone")->setChecked(true);
        Control<QCheckBox>("xbDisableSyntaxHelp")->setChecked(true);
        const QPixmap shownBefore = Control<QLabel>("imCode")->pixmap();
        Control<QScrollBar>("sbCode")->setValue(3);
        EXPECT_NE(Control<QLabel>("imCode")->pixmap().toImage(), shownBefore.toImage());
        dialog.ShowPage(Page::Color);
        Control<QListWidget>("lbTokens")
            ->setCurrentRow(static_cast<int>(IndexOf(TokenClass::Keyword)));
        ClickColor(0xFF0000);
        QTest::mouseClick(Control<QCheckBox>("xbBold"), Qt::LeftButton);
        QTest::mouseClick(Control<QPushButton>("bbOK"), Qt::LeftButton);
    });

    Registry reread(dir.path());
    const TSettings stored(reread);
    EXPECT_EQ(stored.tabWidth, 5);
    EXPECT_TRUE(stored.lineNumbers);
    EXPECT_EQ(stored.memoryBuffer, 64);
    EXPECT_TRUE(stored.codeBrowserDisabled);
    EXPECT_EQ(stored.quoteStyle, 2);
    EXPECT_FALSE(stored.syntaxHelpEnabled);
    EXPECT_EQ(std::tie(stored.iconCode, stored.iconNoCode), std::make_tuple(3, 8));
    TFont keyword;
    ASSERT_TRUE(LoadTokenStyle(reread, "Keyword", keyword));
    EXPECT_EQ(keyword.color, 0xFF0000u);
    EXPECT_EQ(keyword.style, kBold);
    EXPECT_EQ(window->ColorStream().FontOf(TokenClass::Keyword), keyword);

    EXPECT_EQ(editor.TextLimit(), 64 * 1024);
    EXPECT_TRUE(window->tvCodeBrowser()->isHidden());
    EXPECT_EQ(editor.SelStart(), 4);
    EXPECT_EQ(editor.SelLength(), 4);
    EXPECT_TRUE(editor.IsModified());
}

// Regression: the new colours reached only the lines edited after OK, so the
// open script showed old and new comment colours side by side.
TEST_F(ConfigurationTest, OkRecoloursTheWholeOpenScriptAndKeepsItsState) {
    window->show();
    window->EnableEdit();
    ScriptEditor& editor = *window->reScript();
    std::string script;
    for (int i = 0; i < 200; ++i)
        script += "x = " + std::to_string(i) + " ' comment " + std::to_string(i) + "\r\n";
    ASSERT_TRUE(LoadColouredScript(editor, script, window->ColorStream()));
    // An edit to undo afterwards, a selection and a scroll position to keep.
    editor.SetCaret(0);
    QTest::keyClicks(&editor, "Dim y");
    QTest::keyClick(&editor, Qt::Key_Return);
    editor.SetSel(editor.LineIndex(120) + 2, 5);
    editor.ScrollToLine(100);
    const std::string text = editor.Text();
    const EditorSelection selection = editor.SaveSelection();
    ASSERT_TRUE(editor.IsModified());

    WhileOpen(window->MenuItems().miConfigEditor, [&](TfConfiguration& dialog) {
        dialog.ShowPage(Page::Color);
        Control<QListWidget>("lbTokens")
            ->setCurrentRow(static_cast<int>(IndexOf(TokenClass::Comment)));
        ClickColor(0x008000);
        QTest::mouseClick(Control<QPushButton>("bbOK"), Qt::LeftButton);
    });

    for (const int line : {1, 60, 120, 200}) {
        SCOPED_TRACE(line);
        const std::string shown = editor.Line(line);
        const auto comment = static_cast<int>(shown.find('\''));
        const RangeFormatReport format = editor.RangeFormat(
            editor.LineIndex(line) + comment, static_cast<int>(shown.size()) - comment);
        EXPECT_EQ(format.color, 0x008000u);
        EXPECT_TRUE(format.colorUniform);
        EXPECT_NE(editor.RangeFormat(editor.LineIndex(line), 1).color, 0x008000u);
    }
    EXPECT_EQ(editor.Text(), text);
    EXPECT_TRUE(editor.IsModified());
    EXPECT_EQ(editor.SaveSelection().anchor, selection.anchor);
    EXPECT_EQ(editor.SaveSelection().caret, selection.caret);
    EXPECT_EQ(editor.FirstVisibleLine(), 100);
    // The typing is still in the undo history.
    while (editor.isUndoAvailable()) editor.undo();
    EXPECT_EQ(editor.Text(), script);
}

TEST_F(ConfigurationTest, ChangeChoosesTheFontFixedPitchByDefaultAndOkAppliesIt) {
    ScriptEditor& editor = *window->reScript();
    window->EnableEdit();
    editor.SetPlainText("Dim x\r\n");
    for (const bool fixedPitch : {true, false}) {
        SCOPED_TRACE(fixedPitch ? "fixed pitch" : "every font");
        std::optional<bool> offeredFixedOnly;
        QStringList offered;
        WhileOpen(window->MenuItems().miConfigEditor, [&](TfConfiguration&) {
            auto* box = Control<QCheckBox>("xbFixedPitch");
            EXPECT_TRUE(box->isChecked());
            // On its tick box: the widget is wider than its caption.
            if (!fixedPitch)
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
            WhenModal<QFontDialog>([&](QFontDialog& fonts) {
                offeredFixedOnly = fonts.testOption(QFontDialog::MonospacedFonts);
                offered = FamiliesListed(fonts);
                fonts.setCurrentFont(
                    QFont(QStringLiteral("DejaVu Sans Mono"), fixedPitch ? 12 : 14));
                fonts.accept();
            });
            QTest::mouseClick(Control<QPushButton>("bChange"), Qt::LeftButton);
            EXPECT_EQ(Control<QLabel>("lEditFont")->text(),
                      fixedPitch ? "DejaVu Sans Mono, 12p" : "DejaVu Sans Mono, 14p");
            QTest::mouseClick(Control<QPushButton>("bbOK"), Qt::LeftButton);
        });
        EXPECT_EQ(offeredFixedOnly, fixedPitch);
        // What the list shows, not only the option: a proportional family
        // is offered only when the box is cleared.
        ASSERT_TRUE(offered.contains(QStringLiteral("DejaVu Sans Mono")));
        EXPECT_EQ(offered.contains(QStringLiteral("DejaVu Sans")), !fixedPitch);
        if (fixedPitch) {
            for (const QString& family : offered)
                EXPECT_TRUE(QFontDatabase::isFixedPitch(family)) << family.toStdString();
        }
    }

    Registry reread(dir.path());
    TFont stored;
    LoadEditorFont(reread, stored);
    EXPECT_EQ(std::tie(stored.name, stored.size),
              std::make_tuple(std::string("DejaVu Sans Mono"), 14));
    EXPECT_EQ(window->ColorStream().FontOf(TokenClass::Keyword).name, "DejaVu Sans Mono");
    char face[64] = {};
    editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT,
                         static_cast<unsigned long>(editor.StyleAt(0)), static_cast<void*>(face));
    EXPECT_STREQ(face, "DejaVu Sans Mono");
    EXPECT_EQ(editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE,
                                   static_cast<unsigned long>(editor.StyleAt(0))),
              14);
}

TEST_F(ConfigurationTest, MoreOffersAnyColourWhichIsStoredAndShown) {
    ScriptEditor& editor = *window->reScript();
    window->EnableEdit();
    const std::string script = "x = 1 ' note\r\n";
    ASSERT_TRUE(LoadColouredScript(editor, script, window->ColorStream()));
    const int note = static_cast<int>(script.find('\''));
    constexpr std::uint32_t kChosen = 0x563412;  // none of the sixteen

    WhileOpen(window->Actions().acShowConfiguration, [&](TfConfiguration& dialog) {
        dialog.ShowPage(Page::Color);
        auto* more = Control<QPushButton>("bMoreColors");
        EXPECT_FALSE(more->isEnabled()) << "no class to colour yet";
        Control<QListWidget>("lbTokens")
            ->setCurrentRow(static_cast<int>(IndexOf(TokenClass::Comment)));
        WhenModal<QColorDialog>([](QColorDialog& colours) {
            colours.setCurrentColor(QColor(0x12, 0x34, 0x56));
            colours.accept();
        });
        QTest::mouseClick(more, Qt::LeftButton);
        EXPECT_EQ(Control<TColorGrid>("cgEditor")->SelectedCell(), -1);
        auto* preview = Control<ScriptEditor>("rePreview");
        const std::string sample(TfConfiguration::SampleScript());
        EXPECT_EQ(preview->RangeFormat(static_cast<int>(sample.find("' Base")), 6).color, kChosen);
        QTest::mouseClick(Control<QPushButton>("bbOK"), Qt::LeftButton);
    });

    Registry reread(dir.path());
    TFont comment;
    ASSERT_TRUE(LoadTokenStyle(reread, "Comment", comment));
    EXPECT_EQ(comment.color, kChosen);
    // In the open script at once, and in the next load.
    EXPECT_EQ(editor.RangeFormat(note, 6).color, kChosen);
    ASSERT_TRUE(LoadColouredScript(editor, script, window->ColorStream()));
    EXPECT_EQ(editor.RangeFormat(note, 6).color, kChosen);
    EXPECT_NE(editor.RangeFormat(0, 1).color, kChosen);
}

TEST_F(ConfigurationTest, CancelStoresNothingAndKeepsTheColours) {
    const ClassFonts colours = window->ColorStream().Fonts();
    WhileOpen(window->Actions().acShowConfiguration, [&](TfConfiguration& dialog) {
        Control<QSpinBox>("seTabWidth")->setValue(9);
        Control<QCheckBox>("xbChecksumTag")->setChecked(true);
        dialog.ShowPage(Page::Color);
        Control<QListWidget>("lbTokens")->setCurrentRow(0);
        ClickColor(0x0000FF);
        QTest::mouseClick(Control<QCheckBox>("xbItalic"), Qt::LeftButton);
        QTest::mouseClick(Control<QPushButton>("bbCancel"), Qt::LeftButton);
    });
    EXPECT_TRUE(RegistryFiles(dir.path()).empty());
    EXPECT_EQ(Settings().tabWidth, 3);
    EXPECT_FALSE(Settings().applyChecksumTag);
    EXPECT_EQ(window->ColorStream().Fonts(), colours);

    // Opened again, the dialog shows the settings, not the cancelled edits.
    Opened(Page::Layout);
    EXPECT_EQ(Control<QSpinBox>("seTabWidth")->value(), 3);
    EXPECT_FALSE(Control<QCheckBox>("xbChecksumTag")->isChecked());
}

TEST_F(ConfigurationTest, KeywordColourAndBoldRecolourThePreview) {
    Opened(Page::Color);
    auto* tokens = Control<QListWidget>("lbTokens");
    auto* preview = Control<ScriptEditor>("rePreview");
    auto* bold = Control<QCheckBox>("xbBold");
    const std::string sample(TfConfiguration::SampleScript());
    const auto format = [&](std::string_view word) {
        return preview->RangeFormat(static_cast<int>(sample.find(word)),
                                    static_cast<int>(word.size()));
    };
    EXPECT_EQ(tokens->count(), 9);
    EXPECT_EQ(tokens->item(4)->text(), "Keyword");
    EXPECT_EQ(preview->Text(), sample);
    // Nothing selected yet: no cell, no style boxes.
    EXPECT_EQ(Control<TColorGrid>("cgEditor")->SelectedCell(), -1);
    EXPECT_FALSE(bold->isEnabled());
    const auto identifier = format("numVal");

    tokens->setCurrentRow(static_cast<int>(IndexOf(TokenClass::Keyword)));
    EXPECT_TRUE(bold->isEnabled());
    // The window text colour is no cell of the grid.
    EXPECT_EQ(Control<TColorGrid>("cgEditor")->SelectedCell(), -1);
    ClickColor(0xFF0000);
    QTest::mouseClick(bold, Qt::LeftButton);

    for (const char* word : {"Option", "Sub", "dim", "End"}) {
        const auto shown = format(word);
        EXPECT_EQ(shown.color, 0xFF0000u) << word;
        EXPECT_TRUE(shown.bold && shown.boldUniform) << word;
        EXPECT_FALSE(shown.italic) << word;
    }
    const auto after = format("numVal");
    EXPECT_EQ(std::tie(after.color, after.bold), std::tie(identifier.color, identifier.bold));

    // Another class and back: the grid and the boxes follow the class font.
    tokens->setCurrentRow(static_cast<int>(IndexOf(TokenClass::Comment)));
    EXPECT_FALSE(bold->isChecked());
    tokens->setCurrentRow(static_cast<int>(IndexOf(TokenClass::Keyword)));
    EXPECT_TRUE(bold->isChecked());
    EXPECT_EQ(
        kColorGridCells[static_cast<std::size_t>(Control<TColorGrid>("cgEditor")->SelectedCell())],
        0xFF0000u);
    Dialog().reject();
}

TEST_F(ConfigurationTest, HelpFilesMoveByTheButtonsWithTheirCheckMarks) {
    Opened(Page::SyntaxHelp);
    auto* list = Control<QListWidget>("xlbHelpFiles");
    auto* up = Control<QPushButton>("sbHelpfileUp");
    auto* down = Control<QPushButton>("sbHelpfileDown");
    const QStringList initial = HelpEntries();
    ASSERT_EQ(initial.size(), 5);
    EXPECT_EQ(initial.front(), "+Microsoft Windows Script 5.6 Documentation");
    EXPECT_FALSE(up->isEnabled());
    EXPECT_FALSE(down->isEnabled());

    list->setCurrentRow(0);
    EXPECT_FALSE(up->isEnabled());
    EXPECT_TRUE(down->isEnabled());
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(HelpEntries(),
              QStringList({initial[1], initial[0], initial[2], initial[3], initial[4]}));
    EXPECT_EQ(list->currentRow(), 1);

    list->setCurrentRow(4);
    EXPECT_FALSE(down->isEnabled());
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(HelpEntries(),
              QStringList({initial[1], initial[0], initial[2], initial[4], initial[3]}));
    EXPECT_EQ(list->currentRow(), 3);
    EXPECT_TRUE(up->isEnabled() && down->isEnabled());

    QTest::mouseClick(Control<QPushButton>("bbOK"), Qt::LeftButton);
    EXPECT_EQ(Settings().helpFiles[1],
              (HelpFile{"Microsoft Windows Script 5.6 Documentation", true}));
    EXPECT_EQ(Settings().helpFiles[3].name, "Custom HTMLHelp file");
}

TEST_F(ConfigurationTest, HelpFileDraggedOntoAnotherTakesItsPlace) {
    Opened(Page::SyntaxHelp);
    auto* list = Control<QListWidget>("xlbHelpFiles");
    const QStringList initial = HelpEntries();
    const auto drop = [&](int from, int onto) {
        std::unique_ptr<QMimeData> data(list->model()->mimeData({list->model()->index(from, 0)}));
        const QPointF at = list->visualItemRect(list->item(onto)).center();
        QDragEnterEvent enter(at.toPoint(), Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(list->viewport(), &enter);
        QDragMoveEvent move(at.toPoint(), Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(list->viewport(), &move);
        const bool accepted = move.isAccepted();
        QDropEvent dropped(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(list->viewport(), &dropped);
        return accepted;
    };

    // The last onto the first: it goes first, the others move down by one.
    EXPECT_TRUE(drop(4, 0));
    EXPECT_EQ(HelpEntries(),
              QStringList({initial[4], initial[0], initial[1], initial[2], initial[3]}));
    EXPECT_EQ(list->currentRow(), 0);
    // Onto itself is refused.
    EXPECT_FALSE(drop(2, 2));
    EXPECT_EQ(HelpEntries(),
              QStringList({initial[4], initial[0], initial[1], initial[2], initial[3]}));
    // The first onto the third.
    EXPECT_TRUE(drop(0, 2));
    EXPECT_EQ(HelpEntries(),
              QStringList({initial[0], initial[1], initial[4], initial[2], initial[3]}));
    EXPECT_EQ(list->currentRow(), 2);
    Dialog().reject();
}

TEST_F(ConfigurationTest, ABadNumberIsNamedWithItsRangeAndKeepsTheDialogOpen) {
    const struct {
        const char* name;
        std::function<void()> enter;
        Page page;
        const char* message;
    } rows[] = {
        {"blank memory buffer", [this] { Control<QLineEdit>("mskMemory")->setText("  "); },
         Page::Advanced, "The memory buffer must be a number from 1 to 9999 Kb."},
        {"memory buffer of 0", [this] { Control<QLineEdit>("mskMemory")->setText("0"); },
         Page::Advanced, "The memory buffer must be a number from 1 to 9999 Kb."},
        {"tab width of 0", [this] { Control<QSpinBox>("seTabWidth")->setValue(0); }, Page::Layout,
         "The tab width must be a number from 1 to 32 characters."},
        {"wide gutter", [this] { Control<QSpinBox>("seGutterWidth")->setValue(500); }, Page::Layout,
         "The left gutter must be a number from 0 to 200 pixels."},
        {"negative jump offset", [this] { Control<QSpinBox>("seJumpOffset")->setValue(-1); },
         Page::CodeBrowser, "The jump offset must be a number from 0 to 100 lines."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        messages.messages.clear();
        Opened(Page::Assistant);
        Control<QCheckBox>("xbIDTag")->setChecked(true);
        row.enter();
        QTest::mouseClick(Control<QPushButton>("bbOK"), Qt::LeftButton);
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, row.message);
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::Warning);
        EXPECT_TRUE(Dialog().isVisible());
        EXPECT_EQ(Dialog().CurrentPage(), row.page);
        EXPECT_FALSE(Settings().applyIdTag);
        EXPECT_TRUE(RegistryFiles(dir.path()).empty());
        Dialog().reject();
    }
}

}  // namespace
}  // namespace vk
