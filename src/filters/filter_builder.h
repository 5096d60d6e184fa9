#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "filters/filter_pages.h"
#include "filters/view_filter.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class QToolButton;

namespace vk {

class MessageService;
class Registry;
class TSettings;
class TfFilterOptions;

// The Filter Builder: the user picks a category of the current database, a
// field or connection of it, a comparison and values, and reads the composed
// ViewFilter command in `edViewFilter`; "Insert" closes it with OK so the
// caller can put the command into the script, "Copy" puts it on the
// clipboard. Categories, fields, connections and items come from Commence.
// Made once and kept, so tabs, ticks and typed values stay between showings;
// every showing reloads the categories.
//
// Controls carry their names as objectName. Errors of a user's action are
// shown in the error box; those of Prepare are thrown.
class TfFilterBuilder : public QDialog {
    Q_OBJECT
public:
    TfFilterBuilder(TSettings& settings, MessageService& messages, Registry& registry,
                    QWidget* parent = nullptr);
    ~TfFilterBuilder() override;

    // Gets ready for a showing: reloads the categories of `database` and,
    // with "Link Category" on, picks `category` and its fields. When
    // `caretLine` holds a ViewFilter command, the builder is set to it so it
    // can be changed and written over the old one; what cannot be read back
    // is named in the read-out. A loading failure is thrown after the
    // builder has done what it can.
    void Prepare(const std::string& database, const std::string& category,
                 std::string_view caretLine = {});
    // Prepare (its failure shown in the error box) and the modal showing.
    // True when closed with "Insert".
    bool Execute(const std::string& database, const std::string& category,
                 std::string_view caretLine = {});

    // The read-out's text as it stands (the user may have edited it),
    // Windows-1252.
    [[nodiscard]] std::string ViewFilterText() const;
    // Where the command read back at Prepare stands on the caret line
    // (begin, end); nothing when none was read back.
    [[nodiscard]] std::optional<std::pair<std::size_t, std::size_t>> ReadBackSpan() const {
        return readBack_;
    }

    // The handlers, as the controls run them.
    void acLoadCategories();
    void acSelectCategory();
    void lbFieldsClick();
    void cbFilterByClick();
    void nbFieldTypesPageChanged(int page);
    void CompareChange(FilterPage page);
    void lbItemNamesClick();
    void acRefreshFilter();
    void acShowOptions();
    void sbCopyClick();

    [[nodiscard]] TfFilterOptions& Options() const { return *options_; }

private:
    // The controls of a page with a comparison box.
    struct ComparePage {
        QLabel* fieldName = nullptr;
        QComboBox* compare = nullptr;
        QLabel* minLabel = nullptr;
        QLineEdit* min = nullptr;
        QCheckBox* matchCase = nullptr;  // Name and Text only
        QLabel* maxLabel = nullptr;
        QLineEdit* max = nullptr;
        QPushButton* options = nullptr;  // Name and Text only
    };

    void BuildControls();
    QWidget* BuildComparePage(FilterPage page, const char* prefix);
    QWidget* BuildSelectionPage();
    QWidget* BuildCheckboxPage();
    QWidget* BuildConnectionPage();
    QWidget* BuildSharedPage();
    void ConnectControls();

    // Runs a user's action; its failure goes to the error box.
    void Run(const std::function<void()>& action);
    [[nodiscard]] ViewFilterInputs GatherInputs() const;
    [[nodiscard]] ComparePage* PageControls(FilterPage page);
    void ShowPage(FilterPage page);
    void SetFieldName(FilterPage page, const QString& name);
    // The connected category of the selected field list entry.
    [[nodiscard]] std::string ConnectedCategory() const;
    // Sets the builder to a command on the caret line; the reason when it
    // cannot.
    [[nodiscard]] std::optional<std::string> ReadBack(std::string_view line);
    void ShowReadBackProblem(const std::string& problem);

    TSettings& settings_;
    MessageService& messages_;
    Registry& registry_;
    std::string database_;
    std::string category_;
    std::optional<std::pair<std::size_t, std::size_t>> readBack_;

    QLineEdit* edViewFilter_ = nullptr;
    QComboBox* cbSourceCategory_ = nullptr;
    QToolButton* sbInsertFilter_ = nullptr;
    QToolButton* sbCopy_ = nullptr;
    QTabBar* tcFilter_ = nullptr;
    QLabel* lFilterFor_ = nullptr;
    QCheckBox* xbExcept_ = nullptr;
    QListWidget* lbFields_ = nullptr;
    QLabel* lFilterBy_ = nullptr;
    QComboBox* cbFilterBy_ = nullptr;
    QPushButton* bbAdvanced_ = nullptr;
    QStackedWidget* nbFieldTypes_ = nullptr;
    std::array<ComparePage, 5> compare_{};  // Name, Text, Number, Date, Time
    QGroupBox* gbSelection_ = nullptr;
    QRadioButton* rbSelEquals_ = nullptr;
    QRadioButton* rbSelNotEqual_ = nullptr;
    QLineEdit* edSelection_ = nullptr;
    QGroupBox* rgCheckBox_ = nullptr;
    std::array<QRadioButton*, 2> checkBoxChoices_{};
    QLabel* lConnectionCatName_ = nullptr;
    QLineEdit* edItemName_ = nullptr;
    QListWidget* lbItemNames_ = nullptr;
    QGroupBox* rgShared_ = nullptr;
    std::array<QRadioButton*, 2> sharedChoices_{};

    QAction* acLoadCategories_ = nullptr;
    QAction* acSelectCategory_ = nullptr;
    QAction* acRefreshFilter_ = nullptr;
    QAction* acShowOptions_ = nullptr;

    TfFilterOptions* options_ = nullptr;
};

}  // namespace vk
