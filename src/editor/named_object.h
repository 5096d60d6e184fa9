#pragma once

#include <QObject>
#include <QString>

namespace vk {

// Gives a new widget or action its name, the one tests and the program find
// it by, and hands it back: `auto* edit = Named(new QLineEdit(this), "edFind");`.
template <typename Object>
Object* Named(Object* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

}  // namespace vk
