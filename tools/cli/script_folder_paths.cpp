#include "script_folder_paths.h"

#include <deque>
#include <system_error>

namespace vk::cli {

namespace fs = std::filesystem;

std::optional<fs::path> FollowLinks(const fs::path& path) {
    const fs::path absolute = fs::absolute(path);
    fs::path done = absolute.root_path();
    const fs::path relative = absolute.relative_path();
    std::deque<fs::path> todo(relative.begin(), relative.end());
    int hops = 0;
    while (!todo.empty()) {
        const fs::path part = std::move(todo.front());
        todo.pop_front();
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            done = done.parent_path();
            continue;
        }
        const fs::path next = done / part;
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(next, ec))) {
            done = next;
            continue;
        }
        const fs::path target = fs::read_symlink(next, ec);
        if (ec || ++hops > 40) return std::nullopt;
        if (target.is_absolute()) done = target.root_path();
        const fs::path rest = target.relative_path();
        todo.insert(todo.begin(), rest.begin(), rest.end());
    }
    return done;
}

ScriptFolderPaths::ScriptFolderPaths(const fs::path& root)
    : given_(root), resolved_(FollowLinks(root).value_or(fs::absolute(root))) {}

fs::path ScriptFolderPaths::Inside(const fs::path& relative) const {
    const std::optional<fs::path> resolved = FollowLinks(resolved_ / relative);
    if (resolved) {
        const fs::path within = resolved->lexically_relative(resolved_);
        if (!within.empty() && *within.begin() != ".." && *within.begin() != ".") return *resolved;
    }
    throw EOutsideFolder("Refused " + (given_ / relative).string() +
                         ": a symbolic link there leads out of the folder");
}

}  // namespace vk::cli
