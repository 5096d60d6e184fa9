#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "commence/script_name_check.h"
#include "language/script_check.h"
#include "language_server.h"
#include "script_home.h"
#include "text_document.h"

namespace vk::lsp {

// A request the server understood but cannot carry out (a document that is
// not open, a rename refused): its message goes back to the client.
class RequestFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An open document: its text, its last check and where its names live.
struct LanguageServer::Document {
    std::string uri;
    int version = 0;
    TextDocument text;
    std::optional<ScriptHome> home;
    std::unique_ptr<ScriptNameChecker> names;  // when names are checked
    bool namesFailed = false;                  // Commence did not answer; said once
    language::ScriptChecker checker;
    const language::ScriptCheck* check = nullptr;  // the checker's result
    bool checkedText = false;                      // `check` is of the text as it is
};

}  // namespace vk::lsp
