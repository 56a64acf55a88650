#pragma once
// The program's error classes. Every message is UTF-8 text meant for the error box.
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that is not a number where a number is required.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// An index outside a string list.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be opened, read or written.
class EFileError : public Exception {
public:
    using Exception::Exception;
};

// Text that the Shift-JIS code page (CP932) cannot hold.
class EEncodingError : public Exception {
public:
    using Exception::Exception;
};
