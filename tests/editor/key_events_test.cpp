#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QTest>
#include <cstdlib>
#include <vector>

#include "editor/script_editor.h"
#include "editor/virtual_keys.h"

namespace vk {
namespace {

struct KeyCase {
    const char* name;
    int qtKey;
    Qt::KeyboardModifiers modifiers;
    int virtualKey;
};

class VirtualKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(VirtualKeyTest, MapsToWindowsCode) {
    EXPECT_EQ(VirtualKeyFromQt(GetParam().qtKey, GetParam().modifiers), GetParam().virtualKey);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, VirtualKeyTest,
    ::testing::Values(
        KeyCase{"LetterA", Qt::Key_A, {}, 65}, KeyCase{"LetterZ", Qt::Key_Z, {}, 90},
        KeyCase{"Digit0", Qt::Key_0, {}, 48}, KeyCase{"Digit9", Qt::Key_9, {}, 57},
        KeyCase{"ShiftedDigitIsDigit", Qt::Key_Exclam, Qt::ShiftModifier, 49},
        KeyCase{"ShiftedZeroIsZero", Qt::Key_ParenRight, Qt::ShiftModifier, 48},
        KeyCase{"Return", Qt::Key_Return, {}, 13},
        KeyCase{"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier, 13},
        KeyCase{"Tab", Qt::Key_Tab, {}, 9}, KeyCase{"Backspace", Qt::Key_Backspace, {}, 8},
        KeyCase{"Escape", Qt::Key_Escape, {}, 27}, KeyCase{"Space", Qt::Key_Space, {}, 32},
        KeyCase{"PageUp", Qt::Key_PageUp, {}, 33}, KeyCase{"PageDown", Qt::Key_PageDown, {}, 34},
        KeyCase{"End", Qt::Key_End, {}, 35}, KeyCase{"Home", Qt::Key_Home, {}, 36},
        KeyCase{"Left", Qt::Key_Left, {}, 37}, KeyCase{"Up", Qt::Key_Up, {}, 38},
        KeyCase{"Right", Qt::Key_Right, {}, 39}, KeyCase{"Down", Qt::Key_Down, {}, 40},
        KeyCase{"Insert", Qt::Key_Insert, {}, 45}, KeyCase{"Delete", Qt::Key_Delete, {}, 46},
        KeyCase{"F1", Qt::Key_F1, {}, 112}, KeyCase{"F10", Qt::Key_F10, {}, 121},
        KeyCase{"F12", Qt::Key_F12, {}, 123}, KeyCase{"F24", Qt::Key_F24, {}, 135},
        KeyCase{"Shift", Qt::Key_Shift, {}, 16}, KeyCase{"Control", Qt::Key_Control, {}, 17},
        KeyCase{"Alt", Qt::Key_Alt, {}, 18}, KeyCase{"Pause", Qt::Key_Pause, {}, 19},
        KeyCase{"CapsLock", Qt::Key_CapsLock, {}, 20}, KeyCase{"NumLock", Qt::Key_NumLock, {}, 144},
        KeyCase{"ScrollLock", Qt::Key_ScrollLock, {}, 145},
        KeyCase{"Semicolon", Qt::Key_Semicolon, {}, 186},
        KeyCase{"Apostrophe", Qt::Key_Apostrophe, {}, 222},
        KeyCase{"KeypadDigit", Qt::Key_5, Qt::KeypadModifier, 101},
        KeyCase{"KeypadMinus", Qt::Key_Minus, Qt::KeypadModifier, 109},
        KeyCase{"NoWindowsCode", Qt::Key_Eacute, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct KeyRecord {
    int virtualKey;
    bool shift, ctrl, alt;
};

class KeyEventTest : public ::testing::Test {
protected:
    KeyEventTest() {
        editor.resize(300, 100);
        editor.show();
        editor.setFocus();
        QObject::connect(&editor, &ScriptEditor::keyDown, [this](EditorKeyEvent& key) {
            downs.push_back(
                {key.virtualKey, key.modifiers.shift, key.modifiers.ctrl, key.modifiers.alt});
            if (key.virtualKey == swallowDown) key.Swallow();
        });
        QObject::connect(&editor, &ScriptEditor::keyPress, [this](EditorCharEvent& typed) {
            presses.push_back(typed.key);
            if (typed.key == discardChar) typed.key = 0;
        });
        QObject::connect(&editor, &ScriptEditor::keyUp, [this](EditorKeyEvent& key) {
            ups.push_back(
                {key.virtualKey, key.modifiers.shift, key.modifiers.ctrl, key.modifiers.alt});
        });
    }
    ScriptEditor editor;
    std::vector<KeyRecord> downs, ups;
    std::vector<char> presses;
    int swallowDown = -1;
    char discardChar = -1;
};

TEST_F(KeyEventTest, KeyClickReachesHandlersWithWindowsCodes) {
    // As on Windows, the modifier keys have key-downs and key-ups of their own.
    QTest::keyClick(&editor, Qt::Key_F10, Qt::ShiftModifier | Qt::ControlModifier);
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[0].virtualKey, 16);
    EXPECT_EQ(downs[1].virtualKey, 17);
    EXPECT_EQ(downs[2].virtualKey, 121);
    EXPECT_TRUE(downs[2].shift && downs[2].ctrl && !downs[2].alt);
    ASSERT_EQ(ups.size(), 3u);
    EXPECT_EQ(ups[0].virtualKey, 121);

    presses.clear();
    QTest::keyClick(&editor, Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(downs.back().virtualKey, 51);
    EXPECT_TRUE(downs.back().ctrl);
    EXPECT_TRUE(presses.empty()) << "Ctrl+digit types nothing";
    EXPECT_EQ(editor.Text(), "");

    presses.clear();
    QTest::keyClick(&editor, 'q');
    EXPECT_EQ(downs.back().virtualKey, 81);
    EXPECT_EQ(presses, std::vector<char>{'q'});
    EXPECT_EQ(editor.Text(), "q");
}

TEST_F(KeyEventTest, HandlersCanSwallowKeys) {
    editor.SetPlainText("ab");
    editor.SetCaret(1);
    discardChar = '\r';
    QTest::keyClick(&editor, Qt::Key_Return);
    EXPECT_EQ(presses.back(), '\r');
    EXPECT_EQ(editor.Text(), "ab") << "a discarded Enter breaks no line";

    discardChar = -1;
    QTest::keyClick(&editor, Qt::Key_Return);
    EXPECT_EQ(editor.Text(), "a\r\nb");

    swallowDown = 46;
    QTest::keyClick(&editor, Qt::Key_Delete);
    EXPECT_EQ(editor.Text(), "a\r\nb") << "a swallowed key-down does nothing";
    EXPECT_EQ(ups.back().virtualKey, 46) << "its key-up still arrives";
}

TEST_F(KeyEventTest, ListenersRunInConnectionOrderAndSeeASwallowedKey) {
    // The fixture's listener came first; these two run after it, in turn.
    std::vector<int> seen;
    QObject::connect(&editor, &ScriptEditor::keyDown, [&](EditorKeyEvent& key) {
        seen.push_back(key.virtualKey);
        if (key.virtualKey == 'X') key.Swallow();
    });
    QObject::connect(&editor, &ScriptEditor::keyDown,
                     [&](EditorKeyEvent& key) { seen.push_back(1000 + key.virtualKey); });
    swallowDown = 'Y';
    QTest::keyClick(&editor, 'y');
    QTest::keyClick(&editor, 'x');
    QTest::keyClick(&editor, 'z');
    EXPECT_EQ(seen, (std::vector<int>{0, 1000, 'X', 1000, 'Z', 1000 + 'Z'}));
    EXPECT_EQ(editor.Text(), "z") << "a key swallowed by any listener types nothing";
}

TEST_F(KeyEventTest, TypesWindows1252CharactersAsTheirBytes) {
    QKeyEvent euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("€"));
    QApplication::sendEvent(&editor, &euro);
    QKeyEvent eacute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString::fromUtf8("é"));
    QApplication::sendEvent(&editor, &eacute);
    EXPECT_EQ(editor.Text(), "\x80\xE9");
    EXPECT_EQ(presses, (std::vector<char>{'\x80', '\xE9'}));
}

// Renders the first character cell of a one-line text.
QImage RenderCell(QsciScintilla& editor) {
    editor.resize(200, 40);
    editor.show();
    QApplication::processEvents();
    const int x =
        static_cast<int>(editor.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, 1L));
    const int xEnd =
        static_cast<int>(editor.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, 2L));
    const int height =
        static_cast<int>(editor.SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0UL));
    return editor.viewport()->grab().toImage().copy(x + 1, 0, xEnd - x - 1, height);
}

// Mean absolute grey difference per pixel of two images of one size.
double Difference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    return sum / (a.width() * a.height());
}

TEST(Windows1252DisplayTest, EuroSignDrawsAsWindowsShowsIt) {
    const char* face = "DejaVu Sans Mono";
    ScriptEditor editor;
    editor.SetEditorFont(face, 12);
    editor.SetPlainText("x\x80y");
    editor.SetCaret(3);

    // The same character in a UTF-8 editor is what the user should see.
    QsciScintilla reference;
    reference.setUtf8(true);
    for (int margin = 0; margin <= 4; ++margin)
        reference.SendScintilla(QsciScintillaBase::SCI_SETMARGINWIDTHN,
                                static_cast<unsigned long>(margin), 0L);
    reference.SendScintilla(QsciScintillaBase::SCI_STYLESETFONT, 32UL, face);
    reference.SendScintilla(QsciScintillaBase::SCI_STYLESETSIZEFRACTIONAL, 32UL, 1200L);
    reference.SendScintilla(QsciScintillaBase::SCI_STYLECLEARALL);
    reference.SendScintilla(QsciScintillaBase::SCI_SETTEXT, "x\xE2\x82\xACy");
    reference.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 5UL);

    QsciScintilla plain;  // what single-byte QScintilla draws on its own
    plain.setUtf8(false);
    for (int margin = 0; margin <= 4; ++margin)
        plain.SendScintilla(QsciScintillaBase::SCI_SETMARGINWIDTHN,
                            static_cast<unsigned long>(margin), 0L);
    plain.SendScintilla(QsciScintillaBase::SCI_STYLESETFONT, 32UL, face);
    plain.SendScintilla(QsciScintillaBase::SCI_STYLESETSIZEFRACTIONAL, 32UL, 1200L);
    plain.SendScintilla(QsciScintillaBase::SCI_STYLECLEARALL);
    plain.SendScintilla(QsciScintillaBase::SCI_SETTEXT, "x\x80y");
    plain.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 3UL);

    const QImage shown = RenderCell(editor);
    const QImage expected = RenderCell(reference);
    const QImage box = RenderCell(plain);
    ASSERT_EQ(shown.size(), expected.size());
    ASSERT_EQ(shown.size(), box.size());
    // Glyph placement may differ by a fraction of a pixel; the drawing must be
    // far closer to the euro sign than to the missing-glyph box.
    const double toEuro = Difference(shown, expected);
    const double toBox = Difference(shown, box);
    EXPECT_LT(toEuro * 3, toBox) << "to euro " << toEuro << ", to box " << toBox;
}

}  // namespace
}  // namespace vk
