#pragma once
// An error value: domain (the application's bundle identifier), numeric code
// and the failure-reason message shown to the user.

#include <string>

struct QVError {
    std::string domain;
    long code = 0;
    std::string failureReason;
    bool operator==(const QVError&) const = default;
};

/// What the driver reports for an exception it caught: its kind and message.
struct QVException {
    std::string name;
    std::string reason;
};
