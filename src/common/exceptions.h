#pragma once

#include <stdexcept>
#include <string>

namespace vk {

// Base of every error the program reports to the user. The message is what
// the user sees in the error box.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A text that should have been a decimal integer was not ("'abc' is not a
// valid integer value").
class EConvertError : public Exception {
    using Exception::Exception;
};

// A DDE conversation or transfer failed.
class EDDEFailed : public Exception {
    using Exception::Exception;
};

// Commence did not answer for a database ("The database %s is not ready").
class EDBNotReady : public EDDEFailed {
    using EDDEFailed::EDDEFailed;
};

// Commence refused a check-in.
class EMacroFailed : public Exception {
    using Exception::Exception;
};

// A name in the script does not exist in the database.
class EMissingDBItem : public Exception {
    using Exception::Exception;
};
class EInvalidCategory : public EMissingDBItem {
    using EMissingDBItem::EMissingDBItem;
};
class EInvalidField : public EMissingDBItem {
    using EMissingDBItem::EMissingDBItem;
};
class EInvalidConnection : public EMissingDBItem {
    using EMissingDBItem::EMissingDBItem;
};

// An operation needs a database and none is picked.
class ENoCurrentDatabase : public Exception {
    using Exception::Exception;
};

// A block could not be unindented.
class EUnindentFailed : public Exception {
    using Exception::Exception;
};

}  // namespace vk
