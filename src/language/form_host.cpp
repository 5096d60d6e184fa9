#include "language/form_host.h"

#include "common/text_helpers.h"

namespace vk::language {
namespace {

constexpr FormMember kMembers[] = {
    {"Abort", "Abort", "Cancels the save or the change that raised the event."},
    {"Application", "Application", "The Commence application object."},
    {"BackColor", "BackColor", "The form's background colour."},
    {"Cancel", "Cancel", "Closes the form without saving."},
    {"Caption", "Caption", "The form's title."},
    {"CategoryName", "CategoryName", "The name of the form's category."},
    {"Connection", "Connection(connectionName, categoryName)",
     "The connection of that name to that category, with its connected items."},
    {"Control", "Control(controlName)", "The control of that name on the form."},
    {"Field", "Field(fieldName)", "The field of that name; its Value reads and sets it."},
    {"FieldName", "FieldName", "The name of the field that has the focus."},
    {"FieldValue", "FieldValue(fieldName)", "The value of the field of that name."},
    {"IsAdd", "IsAdd", "True while the form adds a new item."},
    {"IsDelete", "IsDelete", "True while the item is being deleted."},
    {"IsDirty", "IsDirty", "True when the form holds changes not yet saved."},
    {"IsShared", "IsShared", "True when the item is shared."},
    {"ItemName", "ItemName", "The name of the item the form shows."},
    {"MoveToField", "MoveToField(fieldName)", "Puts the focus on the field of that name."},
    {"MoveToTab", "MoveToTab(tabName)", "Shows the tab of that name."},
    {"Name", "Name", "The name of the form."},
    {"Runtime", "Runtime", "The form's run-time object (SetStatusBarText, ...)."},
    {"Save", "Save", "Saves the item."},
    {"TabName", "TabName", "The name of the tab shown."},
};

constexpr FormEvent kEvents[] = {
    {"Form_OnLoad", "", "Runs when the form opens."},
    {"Form_OnSave", "", "Runs before the item is saved; Form.Abort stops the save."},
    {"Form_OnCancel", "", "Runs when the form is closed without saving."},
    {"Form_OnEnterTab", "ByVal FromTab", "Runs when a tab is shown."},
    {"Form_OnLeaveTab", "ByVal ToTab", "Runs when another tab is about to be shown."},
    {"Form_OnEnterField", "ByVal FieldName", "Runs when a field gets the focus."},
    {"Form_OnLeaveField", "ByVal FieldName", "Runs when a field loses the focus."},
    {"Form_OnEnterControl", "ByVal ControlId", "Runs when a control gets the focus."},
    {"Form_OnLeaveControl", "ByVal ControlId", "Runs when a control loses the focus."},
    {"Form_OnClick", "ByVal ControlId", "Runs when a control is clicked."},
    {"Form_OnChange", "ByVal ControlId", "Runs when the value of a control changes."},
    {"Form_OnKeyPress", "ByVal ControlId, ByVal KeyAscii",
     "Runs when a key is typed in a control."},
    {"Form_OnActiveXControlEvent", "ByVal ControlId, ByVal EventName, ByVal ParameterArray",
     "Runs when an ActiveX control on the form raises an event."},
};

template <typename T, std::size_t N>
const T* FindByName(const T (&table)[N], std::string_view name) noexcept {
    for (const T& entry : table)
        if (EqualsIgnoringAsciiCase(entry.name, name)) return &entry;
    return nullptr;
}

}  // namespace

std::span<const FormMember> FormMembers() noexcept { return kMembers; }
const FormMember* FindFormMember(std::string_view name) noexcept {
    return FindByName(kMembers, name);
}

std::span<const FormEvent> FormEvents() noexcept { return kEvents; }
const FormEvent* FindFormEvent(std::string_view name) noexcept { return FindByName(kEvents, name); }

}  // namespace vk::language
