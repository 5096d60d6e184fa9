#include <QApplication>

#include "editor/script_editor.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    vk::ScriptEditor editor;
    editor.show();
    return app.exec();
}
