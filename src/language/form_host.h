#pragma once

#include <span>
#include <string_view>

namespace vk::language {

// A member of the form object Commence gives a detail form's script.
struct FormMember {
    std::string_view name;
    std::string_view syntax;  // "Field(fieldName)"; the name alone for a property
    std::string_view summary;
};

// The members scripts use, by name.
[[nodiscard]] std::span<const FormMember> FormMembers() noexcept;
// The member, without regard to case; nullptr for any other word.
[[nodiscard]] const FormMember* FindFormMember(std::string_view name) noexcept;

// An event procedure Commence calls in a detail form's script when the
// script defines it.
struct FormEvent {
    std::string_view name;        // "Form_OnLeaveField"
    std::string_view parameters;  // "ByVal FieldName"; empty for none
    std::string_view summary;
};

[[nodiscard]] std::span<const FormEvent> FormEvents() noexcept;
[[nodiscard]] const FormEvent* FindFormEvent(std::string_view name) noexcept;

}  // namespace vk::language
