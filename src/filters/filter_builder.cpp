// The filter builder's controls and how they are wired; the handlers are in
// filter_builder_events.cpp.
#include "filters/filter_builder.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/named_object.h"
#include "filters/filter_options_dialog.h"

namespace vk {
namespace {

QAction* NamedAction(QObject* parent, const char* name, const QString& caption) {
    auto* action = new QAction(caption, parent);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

}  // namespace

TfFilterBuilder::TfFilterBuilder(TSettings& settings, MessageService& messages, Registry& registry,
                                 QWidget* parent)
    : QDialog(parent), settings_(settings), messages_(messages), registry_(registry) {
    setObjectName(QStringLiteral("TfFilterBuilder"));
    setWindowTitle(QStringLiteral("Filter for Category:"));
    acLoadCategories_ = NamedAction(this, "acLoadCategories", QStringLiteral("Load Categories"));
    acSelectCategory_ = NamedAction(this, "acSelectCategory", QStringLiteral("Select Category"));
    acRefreshFilter_ = NamedAction(this, "acRefreshFilter", QStringLiteral("Refresh Filter"));
    acShowOptions_ = NamedAction(this, "acShowOptions", QStringLiteral("O&ptions..."));
    options_ = new TfFilterOptions(this);
    BuildControls();
    ConnectControls();
    resize(600, 480);
}

TfFilterBuilder::~TfFilterBuilder() = default;

void TfFilterBuilder::BuildControls() {
    auto* root = new QVBoxLayout(this);

    tcFilter_ = Named(new QTabBar(this), "tcFilter");
    for (int i = 1; i <= 4; ++i) tcFilter_->addTab(QStringLiteral("Filter %1").arg(i));
    tcFilter_->setCurrentIndex(0);
    root->addWidget(tcFilter_);

    auto* middle = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    lFilterFor_ = Named(new QLabel(QStringLiteral("&Filter for All Items"), this), "lFilterFor");
    lbFields_ = Named(new QListWidget(this), "lbFields");
    lbFields_->setSortingEnabled(true);
    lFilterFor_->setBuddy(lbFields_);
    xbExcept_ = Named(new QCheckBox(QStringLiteral("&except"), this), "xbExcept");
    lFilterBy_ = Named(new QLabel(QStringLiteral("F&ilter by:"), this), "lFilterBy");
    cbFilterBy_ = Named(new QComboBox(this), "cbFilterBy");
    lFilterBy_->setBuddy(cbFilterBy_);
    lFilterBy_->setEnabled(false);
    cbFilterBy_->setEnabled(false);
    bbAdvanced_ = Named(new QPushButton(QStringLiteral("Advanced..."), this), "bbAdvanced");
    bbAdvanced_->setEnabled(false);
    left->addWidget(lFilterFor_);
    left->addWidget(lbFields_, 1);
    left->addWidget(xbExcept_);
    left->addWidget(lFilterBy_);
    left->addWidget(cbFilterBy_);
    left->addWidget(bbAdvanced_);
    middle->addLayout(left, 1);

    nbFieldTypes_ = Named(new QStackedWidget(this), "nbFieldTypes");
    nbFieldTypes_->addWidget(BuildComparePage(FilterPage::Name, "Name"));
    nbFieldTypes_->addWidget(BuildComparePage(FilterPage::Text, "Text"));
    nbFieldTypes_->addWidget(BuildComparePage(FilterPage::Number, "Number"));
    nbFieldTypes_->addWidget(BuildComparePage(FilterPage::Date, "Date"));
    nbFieldTypes_->addWidget(BuildComparePage(FilterPage::Time, "Time"));
    nbFieldTypes_->addWidget(BuildSelectionPage());
    nbFieldTypes_->addWidget(BuildCheckboxPage());
    nbFieldTypes_->addWidget(BuildConnectionPage());
    nbFieldTypes_->addWidget(Named(new QWidget, "AllItems"));
    nbFieldTypes_->addWidget(BuildSharedPage());
    nbFieldTypes_->setCurrentIndex(static_cast<int>(FilterPage::AllItems));
    middle->addWidget(nbFieldTypes_, 1);
    root->addLayout(middle, 1);

    // The bottom band: the read-out, the category and the two buttons.
    auto* syntax = new QGroupBox(QStringLiteral("Syntax"), this);
    auto* syntaxLayout = new QHBoxLayout(syntax);
    edViewFilter_ = Named(new QLineEdit(syntax), "edViewFilter");
    syntaxLayout->addWidget(edViewFilter_);
    root->addWidget(syntax);

    auto* band = new QHBoxLayout;
    auto* view = new QGroupBox(QStringLiteral("View Category"), this);
    auto* viewLayout = new QHBoxLayout(view);
    cbSourceCategory_ = Named(new QComboBox(view), "cbSourceCategory");
    cbSourceCategory_->setMinimumContentsLength(24);
    viewLayout->addWidget(cbSourceCategory_);
    band->addWidget(view, 1);
    sbInsertFilter_ = Named(new QToolButton(this), "sbInsertFilter");
    sbInsertFilter_->setText(QStringLiteral("Insert"));
    sbInsertFilter_->setToolTip(QStringLiteral("Insert the filter in the current script"));
    sbCopy_ = Named(new QToolButton(this), "sbCopy");
    sbCopy_->setText(QStringLiteral("Copy"));
    sbCopy_->setToolTip(QStringLiteral("Copy to clipboard"));
    for (QToolButton* b : {sbInsertFilter_, sbCopy_}) {
        b->setMinimumSize(75, 25);
        band->addWidget(b);
    }
    root->addLayout(band);
}

QWidget* TfFilterBuilder::BuildComparePage(FilterPage page, const char* prefix) {
    auto* widget = new QWidget;
    widget->setObjectName(QLatin1String(prefix));
    auto* layout = new QVBoxLayout(widget);
    ComparePage& c = compare_[static_cast<std::size_t>(page)];
    const auto named = [&](auto* w, const QString& objectName) {
        w->setObjectName(objectName);
        layout->addWidget(w);
        return w;
    };
    c.fieldName =
        named(new QLabel(widget), QStringLiteral("l%1FieldName").arg(QLatin1String(prefix)));
    QFont bold = c.fieldName->font();
    bold.setBold(true);
    c.fieldName->setFont(bold);
    c.compare =
        named(new QComboBox(widget), QStringLiteral("cb%1Compare").arg(QLatin1String(prefix)));
    for (std::string_view caption : ComparisonsOf(page))
        c.compare->addItem(
            QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
    c.minLabel = named(new QLabel(QStringLiteral("Field &Value:"), widget),
                       QStringLiteral("l%1FieldValueMin").arg(QLatin1String(prefix)));
    c.min = named(new QLineEdit(widget), QStringLiteral("ed%1Min").arg(QLatin1String(prefix)));
    c.minLabel->setBuddy(c.min);
    if (page == FilterPage::Name || page == FilterPage::Text) {
        c.matchCase = named(new QCheckBox(QStringLiteral("Match &Case"), widget),
                            QStringLiteral("xb%1MatchCase").arg(QLatin1String(prefix)));
    }
    c.maxLabel = named(new QLabel(QStringLiteral("M&aximum Value (inclusive):"), widget),
                       QStringLiteral("l%1FieldValueMax").arg(QLatin1String(prefix)));
    c.max = named(new QLineEdit(widget), QStringLiteral("ed%1Max").arg(QLatin1String(prefix)));
    c.maxLabel->setBuddy(c.max);
    c.maxLabel->hide();
    c.max->hide();
    if (c.matchCase) {
        c.options = named(new QPushButton(acShowOptions_->text(), widget),
                          QStringLiteral("b%1Options").arg(QLatin1String(prefix)));
        connect(c.options, &QPushButton::clicked, acShowOptions_, &QAction::trigger);
    }
    layout->addStretch(1);
    return widget;
}

QWidget* TfFilterBuilder::BuildSelectionPage() {
    auto* widget = Named(new QWidget, "Selection");
    auto* layout = new QVBoxLayout(widget);
    gbSelection_ = Named(new QGroupBox(widget), "gbSelection");
    auto* group = new QVBoxLayout(gbSelection_);
    rbSelEquals_ = Named(new QRadioButton(QStringLiteral("E&quals"), gbSelection_), "rbSelEquals");
    rbSelNotEqual_ =
        Named(new QRadioButton(QStringLiteral("Does &Not Equal"), gbSelection_), "rbSelNotEqual");
    rbSelEquals_->setChecked(true);
    edSelection_ = Named(new QLineEdit(gbSelection_), "edSelection");
    auto* note = Named(new QLabel(gbSelection_), "lSelection");
    // Line breaks as the note has always had them: CR LF, CR CR, CR.
    note->setText(QStringLiteral(
        "Commence does not provide a way\r\nto retrieve Selection Field values.\r\rYou may "
        "enter a value yourself\rin the textbox above."));
    note->setWordWrap(true);
    for (QWidget* w :
         std::initializer_list<QWidget*>{rbSelEquals_, rbSelNotEqual_, edSelection_, note})
        group->addWidget(w);
    layout->addWidget(gbSelection_);
    layout->addStretch(1);
    return widget;
}

QWidget* TfFilterBuilder::BuildCheckboxPage() {
    auto* widget = Named(new QWidget, "Checkbox");
    auto* layout = new QVBoxLayout(widget);
    rgCheckBox_ = Named(new QGroupBox(widget), "rgCheckBox");
    auto* group = new QVBoxLayout(rgCheckBox_);
    checkBoxChoices_ = {new QRadioButton(QStringLiteral("&Checked"), rgCheckBox_),
                        new QRadioButton(QStringLiteral("&Not Checked"), rgCheckBox_)};
    checkBoxChoices_[0]->setChecked(true);
    for (QRadioButton* b : checkBoxChoices_) group->addWidget(b);
    layout->addWidget(rgCheckBox_);
    layout->addStretch(1);
    return widget;
}

QWidget* TfFilterBuilder::BuildConnectionPage() {
    auto* widget = Named(new QWidget, "Connection");
    auto* layout = new QVBoxLayout(widget);
    lConnectionCatName_ = Named(new QLabel(widget), "lConnectionCatName");
    QFont bold = lConnectionCatName_->font();
    bold.setBold(true);
    lConnectionCatName_->setFont(bold);
    edItemName_ = Named(new QLineEdit(widget), "edItemName");
    lbItemNames_ = Named(new QListWidget(widget), "lbItemNames");
    lbItemNames_->setSortingEnabled(true);
    layout->addWidget(lConnectionCatName_);
    layout->addWidget(edItemName_);
    layout->addWidget(lbItemNames_, 1);
    return widget;
}

QWidget* TfFilterBuilder::BuildSharedPage() {
    auto* widget = Named(new QWidget, "SharedVsLocal");
    auto* layout = new QVBoxLayout(widget);
    rgShared_ = Named(new QGroupBox(widget), "rgShared");
    auto* group = new QVBoxLayout(rgShared_);
    sharedChoices_ = {new QRadioButton(QStringLiteral("S&hared"), rgShared_),
                      new QRadioButton(QStringLiteral("&Local"), rgShared_)};
    sharedChoices_[0]->setChecked(true);
    for (QRadioButton* b : sharedChoices_) group->addWidget(b);
    layout->addWidget(rgShared_);
    layout->addStretch(1);
    return widget;
}

void TfFilterBuilder::ConnectControls() {
    const auto run = [this](void (TfFilterBuilder::*handler)()) {
        return [this, handler] { Run([this, handler] { (this->*handler)(); }); };
    };
    connect(acLoadCategories_, &QAction::triggered, this, run(&TfFilterBuilder::acLoadCategories));
    connect(acSelectCategory_, &QAction::triggered, this, run(&TfFilterBuilder::acSelectCategory));
    connect(acRefreshFilter_, &QAction::triggered, this, run(&TfFilterBuilder::acRefreshFilter));
    connect(acShowOptions_, &QAction::triggered, this, run(&TfFilterBuilder::acShowOptions));

    connect(cbSourceCategory_, &QComboBox::currentIndexChanged, acSelectCategory_,
            &QAction::trigger);
    connect(lbFields_, &QListWidget::currentRowChanged, this, run(&TfFilterBuilder::lbFieldsClick));
    connect(cbFilterBy_, &QComboBox::currentIndexChanged, this,
            run(&TfFilterBuilder::cbFilterByClick));
    connect(lbItemNames_, &QListWidget::currentRowChanged, this,
            run(&TfFilterBuilder::lbItemNamesClick));
    connect(nbFieldTypes_, &QStackedWidget::currentChanged, this,
            [this](int page) { Run([this, page] { nbFieldTypesPageChanged(page); }); });
    for (std::size_t i = 0; i < compare_.size(); ++i) {
        const auto page = static_cast<FilterPage>(i);
        connect(compare_[i].compare, &QComboBox::currentIndexChanged, this,
                [this, page] { Run([this, page] { CompareChange(page); }); });
    }

    // Every value and choice recomposes the command.
    connect(tcFilter_, &QTabBar::currentChanged, acRefreshFilter_, &QAction::trigger);
    for (const ComparePage& c : compare_) {
        for (QLineEdit* box : {c.min, c.max})
            connect(box, &QLineEdit::textChanged, acRefreshFilter_, &QAction::trigger);
        if (c.matchCase)
            connect(c.matchCase, &QCheckBox::clicked, acRefreshFilter_, &QAction::trigger);
    }
    for (QLineEdit* box : {edSelection_, edItemName_})
        connect(box, &QLineEdit::textChanged, acRefreshFilter_, &QAction::trigger);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
             xbExcept_, rbSelEquals_, rbSelNotEqual_, checkBoxChoices_[0], checkBoxChoices_[1],
             sharedChoices_[0], sharedChoices_[1]})
        connect(b, &QAbstractButton::clicked, acRefreshFilter_, &QAction::trigger);

    connect(sbInsertFilter_, &QToolButton::clicked, this, &QDialog::accept);
    connect(sbCopy_, &QToolButton::clicked, this, [this] { sbCopyClick(); });
}

}  // namespace vk
