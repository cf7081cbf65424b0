// The exception classes of the framework. Every exception carries a message; ClassName is
// what the last-chance handler names.
#pragma once

#include <stdexcept>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }
    virtual const char* ClassName() const { return "Exception"; }

private:
    std::string message_;
};

#define CORVANE_EXCEPTION_CLASS(Name, Base)                      \
    class Name : public Base {                                   \
    public:                                                      \
        using Base::Base;                                        \
        const char* ClassName() const override { return #Name; } \
    }

CORVANE_EXCEPTION_CLASS(EConvertError, Exception);
CORVANE_EXCEPTION_CLASS(EOutOfResources, Exception);
CORVANE_EXCEPTION_CLASS(EOutOfMemory, Exception);

// File errors carry the code that chose their message.
class EInOutError : public Exception {
public:
    EInOutError(std::string message, int errorCode)
        : Exception(std::move(message)), errorCode_(errorCode) {}
    int ErrorCode() const { return errorCode_; }
    const char* ClassName() const override { return "EInOutError"; }

private:
    int errorCode_;
};
