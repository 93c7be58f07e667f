#include "platform/Uuid.h"

#include <mutex>

#include <uuid/uuid.h>

namespace platform {

namespace {
std::mutex sourceMutex;
std::function<std::string()>& source() {
    static std::function<std::string()> s;
    return s;
}
} // namespace

std::string newUUIDString() {
    {
        std::lock_guard<std::mutex> lock(sourceMutex);
        if (source())
            return source()();
    }
    uuid_t u;
    uuid_generate_random(u);
    char text[37];
    uuid_unparse_upper(u, text);
    return text;
}

void setUUIDSourceForTesting(std::function<std::string()> s) {
    std::lock_guard<std::mutex> lock(sourceMutex);
    source() = std::move(s);
}

} // namespace platform
