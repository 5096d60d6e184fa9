#include "default_script.h"

namespace vk::commence_server {
namespace {

constexpr std::string_view kDefaultScript =
    "Option Explicit\r\n"
    "\r\n"
    "' Detail form script\r\n"
    "' Commence runs the event procedures below when the form raises them.\r\n"
    "\r\n"
    "Sub Form_OnLoad()\r\n"
    "End Sub\r\n"
    "\r\n"
    "Sub Form_OnSave()\r\n"
    "End Sub\r\n"
    "\r\n"
    "Sub Form_OnCancel()\r\n"
    "End Sub\r\n"
    "\r\n"
    "Sub Form_OnEnterTab(ByVal FromTab)\r\n"
    "End Sub\r\n"
    "\r\n"
    "Sub Form_OnLeaveTab(ByVal ToTab)\r\n"
    "End Sub\r\n"
    "\r\n"
    "Sub Form_OnEnterField(ByVal FieldName)\r\n"
    "End Sub\r\n"
    "\r\n"
    "Sub Form_OnLeaveField(ByVal FieldName)\r\n"
    "End Sub\r\n"
    "\r\n"
    "Sub Form_OnClick(ByVal ControlId)\r\n"
    "End Sub\r\n"
    "\r\n"
    "' template zbSgCR\r\n";

}  // namespace

std::string_view DefaultFormScript() noexcept { return kDefaultScript; }

}  // namespace vk::commence_server
