#pragma once

#include <QFontDatabase>
#include <QString>
#include <string>
#include <string_view>

namespace vk {

// The face the editor draws with for a face the settings name. Scripts are
// laid out in columns, and the default "Courier New" is missing on most Linux
// machines, where Qt would fall back to a proportional face: a face that is
// not installed gives way to the system's fixed-pitch face instead.
inline QString DisplayFace(std::string_view face) {
    const QString name = QString::fromLatin1(face.data(), static_cast<qsizetype>(face.size()));
    if (!name.isEmpty() && QFontDatabase::hasFamily(name)) return name;
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

}  // namespace vk
