#pragma once

#include <filesystem>
#include <optional>

#include "common/exceptions.h"

namespace vk::cli {

// A path of a script folder that leads out of it through a symbolic link.
class EOutsideFolder : public Exception {
public:
    using Exception::Exception;
};

// The files of a pulled folder, reached only inside it. A symbolic link
// inside the folder may lead elsewhere inside it; one that leads out (a
// category folder or a script file linked to another place) is refused, so
// that pull writes nothing and push stores nothing from outside the folder.
// The folder itself may be a link: it is where the user pointed.
class ScriptFolderPaths {
public:
    explicit ScriptFolderPaths(const std::filesystem::path& root);

    // The path `relative` stands for inside the folder, every link on the way
    // followed. Throws EOutsideFolder naming root/relative when a link leads
    // out of the folder (or the links go round in a circle).
    [[nodiscard]] std::filesystem::path Inside(const std::filesystem::path& relative) const;

private:
    std::filesystem::path given_;
    std::filesystem::path resolved_;
};

// The path with every symbolic link in it followed, a link to something that
// does not exist yet included (its target counts). Nothing when the links go
// round in a circle.
[[nodiscard]] std::optional<std::filesystem::path> FollowLinks(const std::filesystem::path& path);

}  // namespace vk::cli
