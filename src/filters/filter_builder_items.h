#pragma once

// The filter builder's list entries: a text with its tag, sorted without
// regard to case. Used by the builder's own files only.
#include <QComboBox>
#include <QListWidget>
#include <string_view>

#include "editor/ansi_text.h"

namespace vk::filter_items {

constexpr int kTagRole = Qt::UserRole;

// The lists sort without regard to case, so the entries in brackets come
// before the names and "(All Items)" is normally the first entry.
inline bool LessIgnoringCase(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

class TaggedItem : public QListWidgetItem {
public:
    TaggedItem(std::string_view text, int tag) : QListWidgetItem(FromAnsi(text)) {
        setData(kTagRole, tag);
    }
    bool operator<(const QListWidgetItem& other) const override {
        return LessIgnoringCase(text(), other.text());
    }
};

inline int TagOf(const QListWidgetItem* item) { return item ? item->data(kTagRole).toInt() : 0; }

// The index of the entry with exactly this text; -1 when there is none.
inline int IndexOf(const QComboBox& box, std::string_view text) {
    return box.findText(FromAnsi(text), Qt::MatchFixedString | Qt::MatchCaseSensitive);
}

}  // namespace vk::filter_items
