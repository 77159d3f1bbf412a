#pragma once

#include <stdexcept>
#include <string>

/// An error whose message is the text the user reads in the application's error box (UTF-8).
class AppError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
